#include "ui/FaceDesignCommands.h"

#include "app/AppFrame.h"
#include "app/MessageBox.h"
#include "document/Capabilities.h"
#include "document/DOActions.h"
#include "document/EditSession.h"
#include "label/LabelData.h"
#include "label/Templates.h"
#include "objects/BackImage.h"
#include "render/DrawSite.h"
#include "ui/BackgroundDialog.h"
#include "ui/FaceView.h"
#include "ui/TemplateDialog.h"

namespace kestrel {

namespace {

bool HoldsDesign(const TDrawSite& site)
{
    for (int i = 0; i < site.ChildCount(); ++i) {
        const auto* background = dynamic_cast<const IDOFaceBackground*>(&site.Child(i));
        if (!background || !background->IsBlank()) return true;
    }
    return false;
}

TLOBackImage* BackgroundOf(const TDrawSite& site)
{
    for (int i = 0; i < site.ChildCount(); ++i)
        if (auto* background = dynamic_cast<TLOBackImage*>(&site.Child(i))) return background;
    return nullptr;
}

}  // namespace

bool PutTemplateOnFace(TLabelData& document, int face, const TTemplateInfo& chosen, bool faceHoldsDesign)
{
    if (document.IsModified() || faceHoldsDesign) {
        const int answer = TAppFrame::ShowMessage(
            QStringLiteral("このラベルのデータをすべて削除してからテンプレートを呼出します。\r\nよろしいですか？"),
            {mbkYes, mbkNo}, 1, 1);
        if (answer != mrYes) return false;
    }
    ApplyTemplate(document, face, LoadTemplateFace(chosen));
    document.SetModified(true);
    return true;
}

bool CallUpTemplate(QWidget* parent, TLabelData& document, TFaceView& view)
{
    TDrawSite* site = view.Site();
    if (!site) return false;
    const int face = view.Face();
    TfrmTemplate2 dialog(parent, document.Face(face));
    if (dialog.exec() != QDialog::Accepted) return false;
    const std::optional<TTemplateInfo> chosen = dialog.Chosen();
    if (!chosen) return false;
    view.Flush();
    if (!PutTemplateOnFace(document, face, *chosen, HoldsDesign(*site))) return false;
    view.Load(document, face);
    return true;
}

bool EditFaceBackground(QWidget* parent, TFaceView& view, const TFaceInfo& face)
{
    TDrawSite* site = view.Site();
    if (!site) return false;
    if (TLOBackImage* existing = BackgroundOf(*site)) {
        auto change = std::make_unique<TDOChangeAction>(*existing, QStringLiteral("背景柄"));
        if (!EditBackground(parent, *existing)) return false;
        TDOChangeAction::Commit(std::move(change));
        return true;
    }
    auto created = std::make_unique<TLOBackImage2004>();
    created->SetFaceInfo(face);
    if (!EditBackground(parent, *created)) return false;
    TDrawObject& added = site->AddObject(std::move(created));
    if (TEditSession* session = site->Session()) session->History().Add(std::make_unique<TDOAddAction>(added, QStringLiteral("背景柄")));
    return true;
}

}  // namespace kestrel
