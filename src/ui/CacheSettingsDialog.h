#pragma once

#include <QDialog>

class QRadioButton;
class QSpinBox;

namespace kestrel {

// The preview-cache page of the environment settings: cache on or off, unlimited or a size of
// 10 to 9999 MiB, and clearing the cache. Accepting it stores "CacheEnabl" and "CacheLimit" and
// applies the limit to the running cache at once.
class TfrmCacheSettings : public QDialog {
public:
    explicit TfrmCacheSettings(QWidget* parent = nullptr);

    void accept() override;
    // Empties the user's cache and says so.
    void ClearCache();

private:
    void UpdateEnabled();

    QRadioButton* useCache_;
    QRadioButton* noCache_;
    QRadioButton* unlimited_;
    QRadioButton* limited_;
    QSpinBox* megabytes_;
};

}  // namespace kestrel
