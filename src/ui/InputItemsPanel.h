#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "music/InputItems.h"

class QFormLayout;
class QPlainTextEdit;

namespace kestrel {

class TObjectSite;

// The input items of the face being edited, one field each (a line per line of the item's text).
// A field the user leaves with a changed text writes it into the item's objects, one undo step
// per object changed; the objects are looked up afresh, as the site may have changed meanwhile.
class TInputItemsPanel : public QWidget {
public:
    // site: the site of the face being edited, null when there is none.
    TInputItemsPanel(std::function<TObjectSite*()> site, int face, QWidget* parent = nullptr);

    // Shows the items as the site's objects hold them now.
    void Reload();
    // The field of the item with that caption, or null.
    QPlainTextEdit* Field(const QString& caption) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Write(size_t item);

    std::function<TObjectSite*()> site_;
    int face_;
    QFormLayout* form_;
    std::vector<TInputItem> items_;
    std::vector<QPlainTextEdit*> fields_;
};

}  // namespace kestrel
