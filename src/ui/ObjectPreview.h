#pragma once

#include <QWidget>

class QRect;

namespace kestrel {

class TCanvas;
class TDrawObject;

// Draws the object as large as fits the device area, centred, with one scale for both axes so
// that it keeps its shape. An object without extent draws nothing.
void PaintFitted(TDrawObject& object, TCanvas& canvas, const QRect& area);

// Paints one draw object fitted into the widget on white, for live previews in dialogs.
class TObjectPreview : public QWidget {
    Q_OBJECT

public:
    explicit TObjectPreview(QWidget* parent = nullptr);
    // Not owned; null shows nothing.
    void SetObject(TDrawObject* object);
    // Hides the object while the entry it shows is not acceptable.
    void SetObjectVisible(bool visible);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TDrawObject* object_ = nullptr;
    bool visible_ = true;
};

}  // namespace kestrel
