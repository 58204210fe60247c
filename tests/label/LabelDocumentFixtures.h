#pragma once

// Papers and documents for the label document tests.

#include <functional>
#include <memory>

#include "document/DOList.h"
#include "document/DrawObjectFixtures.h"
#include "document/stream/ClassRegistry.h"
#include "label/LabelData.h"
#include "paper/PaperInfo.h"
#include "text/LOText.h"

namespace kestrel::test {

// A4 with two disc faces of 1170 (margin 10, hole 410): the shipped two-disc label sheet.
inline std::unique_ptr<TMatrixPaperInfo> TwoDiscPaper()
{
    auto paper = std::make_unique<TMatrixPaperInfo>();
    paper->SetPaperName(QStringLiteral("A4 CDラベル 2面"));
    paper->SetGroupName(QStringLiteral("CD-R・DVDラベル"));
    paper->SetPortraitSize(2100, 2970);
    paper->SetTopOffset(215);
    paper->SetLeftOffset(465);
    paper->SetBottomMargin(200);
    paper->SetFaceWidth(1170);
    paper->SetFaceHeight(1170);
    paper->SetFaceCountX(1);
    paper->SetFaceCountY(2);
    paper->SetFaceShape(fsDoughnut);
    paper->SetFacePurpose(QStringLiteral("CD"));
    paper->SetFaceMargin(10);
    return paper;
}

// A grid of count x count square faces of 600 on A4.
inline std::unique_ptr<TMatrixPaperInfo> SquarePaper(int count)
{
    auto paper = std::make_unique<TMatrixPaperInfo>();
    paper->SetPaperName(QStringLiteral("四角 %1").arg(count * count));
    paper->SetPortraitSize(2100, 2970);
    paper->SetTopOffset(100);
    paper->SetLeftOffset(100);
    paper->SetFaceWidth(600);
    paper->SetFaceHeight(600);
    paper->SetFaceCountX(count);
    paper->SetFaceCountY(count);
    return paper;
}

inline void RegisterTestObjects()
{
    TClassRegistry::Global().Register(TFilledRect::StaticClass());
}

// Writes blue filled rectangles (given front to back, as a site lists them) into face n.
inline void PutRects(TLabelData& document, int n, std::initializer_list<TRect> rects)
{
    std::vector<std::unique_ptr<TFilledRect>> owned;
    TDOList list;
    for (const TRect& rect : rects) {
        auto object = std::make_unique<TFilledRect>();
        object->SetBounds(rect);
        list.Add(*object);
        owned.push_back(std::move(object));
    }
    document.SaveFaceObjects(n, list);
}

// A text showing item fieldNo of an information set.
inline std::unique_ptr<TLOText> InformationField(TFieldType set, int fieldNo, const QString& text)
{
    auto object = std::make_unique<TLOText>();
    object->SetBounds({10, 10, 300, 100});
    object->SetFieldType(set);
    object->SetFieldNo(fieldNo);
    object->SetText({text});
    return object;
}

// The texts of face n of the current sheet, front to back, group members in their order.
inline QStringList FaceTexts(TLabelData& document, int n)
{
    TDOList objects;
    document.LoadFaceObjects(n, objects);
    QStringList texts;
    std::function<void(TComponent&)> collect = [&](TComponent& component) {
        if (auto* text = dynamic_cast<TLOText*>(&component)) texts << text->Text().join(u'|');
        component.GetChildren(collect);
    };
    for (auto it = objects.Items().rbegin(); it != objects.Items().rend(); ++it) collect(**it);
    return texts;
}

}  // namespace kestrel::test
