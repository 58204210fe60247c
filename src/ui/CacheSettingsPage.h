#pragma once

#include <QWidget>

class QRadioButton;
class QSpinBox;

namespace kestrel {

// The preview-cache page of the environment settings: cache on or off, unlimited or a size of
// 10 to 9999 MiB, and clearing the cache. Saving it stores "CacheEnabl" and "CacheLimit" and
// applies the limit to the running cache at once.
class TframeCacheSettings : public QWidget {
public:
    explicit TframeCacheSettings(QWidget* parent = nullptr);

    void Save();
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
