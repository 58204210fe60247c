#pragma once

// A text that asks for input under a caption, as the wizard text will, for the tests of what
// fills input items.

#include "document/Capabilities.h"
#include "text/LOText.h"

namespace kestrel::test {

class TInputText : public TLOText, public IDOWizardInput {
public:
    TInputText(const QString& caption, const QStringList& text, bool enabled = true) : caption_(caption), enabled_(enabled)
    {
        SetText(text);
        SetBounds({0, 0, 400, 100});
    }
    bool InputEnabled() const override { return enabled_; }
    void SetInputEnabled(bool value) override { enabled_ = value; }
    QString InputCaption() const override { return caption_; }
    void SetInputCaption(const QString& caption) override { caption_ = caption; }

private:
    QString caption_;
    bool enabled_;
};

}  // namespace kestrel::test
