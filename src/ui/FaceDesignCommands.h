#pragma once

class QWidget;

namespace kestrel {

class TFaceInfo;
class TFaceView;
class TLabelData;
struct TTemplateInfo;

// "ラベルテンプレートの呼び出し(&T)...": replaces the shown face's design with a template, after
// asking when the document has unsaved changes or the face holds a design. True when replaced.
bool CallUpTemplate(QWidget* parent, TLabelData& document, TFaceView& view);
// Replaces face n's design with the template, after asking when the document has unsaved
// changes or the face holds a design. True when replaced.
bool PutTemplateOnFace(TLabelData& document, int face, const TTemplateInfo& chosen, bool faceHoldsDesign);

// "背景柄(&B)...": edits the shown face's background, made when the face has none; one undo step.
bool EditFaceBackground(QWidget* parent, TFaceView& view, const TFaceInfo& face);

}  // namespace kestrel
