#pragma once

#include <QWidget>

namespace kestrel {

class TDrawObject;

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
