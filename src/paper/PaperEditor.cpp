#include "paper/PaperEditor.h"

namespace kestrel {

namespace {

QString Millimetres(int tenths) { return QString::number(tenths / 10.0, 'f', 1); }

// Empty when the value fits; otherwise the message naming the field.
QString RangeMessage(const QString& field, int value, TEditorRange range, bool lengths = true)
{
    if (value >= range.min && value <= range.max) return {};
    if (!lengths) return QStringLiteral("%1は%2～%3で指定してください").arg(field).arg(range.min).arg(range.max);
    return QStringLiteral("%1は%2～%3mmで指定してください").arg(field, Millimetres(range.min), Millimetres(range.max));
}

QString FirstMessage(std::initializer_list<QString> messages)
{
    for (const QString& m : messages)
        if (!m.isEmpty()) return m;
    return {};
}

QString CheckLayout(const TFaceLayout& layout, const TSheetRect& rect)
{
    return FirstMessage({
        RangeMessage(QStringLiteral("ラベルの幅"), rect.Width(), FaceSizeRange),
        RangeMessage(QStringLiteral("ラベルの高さ"), rect.Height(), FaceSizeRange),
        RangeMessage(QStringLiteral("塗足し"), layout.FaceMargin(), OffsetRange),
        HasHole(layout.FaceShape()) ? RangeMessage(QStringLiteral("内円のサイズ"), layout.CutCenterWidth(), HoleSizeRange) : QString(),
        HasHole(layout.FaceShape()) ? RangeMessage(QStringLiteral("内円のサイズ"), layout.CutCenterHeight(), HoleSizeRange) : QString(),
        IsRounded(layout.FaceShape()) ? RangeMessage(QStringLiteral("角丸のサイズ"), layout.RoundSize(), RoundSizeRange) : QString(),
    });
}

QString CheckMatrix(const TMatrixPaperInfo& paper)
{
    return FirstMessage({
        RangeMessage(QStringLiteral("横のラベル数"), paper.FaceCountX(), FaceCountRange, false),
        RangeMessage(QStringLiteral("縦のラベル数"), paper.FaceCountY(), FaceCountRange, false),
        RangeMessage(QStringLiteral("左端からの距離"), paper.LeftOffset(), OffsetRange),
        RangeMessage(QStringLiteral("上端からの距離"), paper.TopOffset(), OffsetRange),
        RangeMessage(QStringLiteral("横の間隔"), paper.RightMargin(), OffsetRange),
        RangeMessage(QStringLiteral("縦の間隔"), paper.BottomMargin(), OffsetRange),
        CheckLayout(paper, {0, 0, paper.FaceWidth(), paper.FaceHeight()}),
    });
}

QString CheckFree(const TFreePaperInfo& paper)
{
    if (paper.GetFaceCount() == 0) return QStringLiteral("ラベルを追加してください");
    for (int i = 0; i < paper.GetFaceCount(); ++i) {
        const TFaceItem& face = paper.FaceList().Item(i);
        const QString message = FirstMessage({
            RangeMessage(QStringLiteral("ラベルの左位置"), face.Left(), OffsetRange),
            RangeMessage(QStringLiteral("ラベルの上位置"), face.Top(), OffsetRange),
            CheckLayout(face, face.Rect()),
        });
        if (!message.isEmpty()) return QStringLiteral("ラベル%1: %2").arg(i + 1).arg(message);
    }
    return {};
}

}  // namespace

QString CheckEditorValues(const TPaperInfo& paper)
{
    const QString size = FirstMessage({
        RangeMessage(QStringLiteral("用紙の横"), paper.PortraitWidth(), PaperSizeRange),
        RangeMessage(QStringLiteral("用紙の縦"), paper.PortraitHeight(), PaperSizeRange),
    });
    if (!size.isEmpty()) return size;
    if (auto* matrix = dynamic_cast<const TMatrixPaperInfo*>(&paper)) return CheckMatrix(*matrix);
    if (auto* free = dynamic_cast<const TFreePaperInfo*>(&paper)) return CheckFree(*free);
    return {};
}

TStoreCheck CheckPaperBeforeStore(const TPaperInfo& paper)
{
    if (const int face = paper.FirstFaceOutsidePaper(); face >= 0)
        return {TStoreVerdict::Refuse, QStringLiteral("ラベルが用紙からはみ出しています"), face};
    if (const int face = paper.FirstOverlappingFace(); face >= 0)
        return {TStoreVerdict::AskOverlap, QStringLiteral("ラベルが重なっています。よろしいですか？"), face};
    return {};
}

QString FirstFreeUserPaperName(const TPapers& papers)
{
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("ユーザー用紙%1").arg(n);
        if (papers.IndexOfName(name) < 0) return name;
    }
}

}  // namespace kestrel
