#include "ui/CacheSettingsPage.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/AppFrame.h"
#include "imaging/PreviewCache.h"

namespace kestrel {

namespace {

constexpr int MinLimit = 10, MaxLimit = 9999;

// Two radio buttons of one choice, one above the other.
QGroupBox* ChoiceBox(QWidget* parent, QRadioButton* first, QRadioButton* second, QWidget* beside = nullptr)
{
    auto* box = new QGroupBox(parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(first);
    auto* row = new QHBoxLayout;
    row->addWidget(second);
    if (beside) row->addWidget(beside);
    row->addStretch();
    layout->addLayout(row);
    auto* group = new QButtonGroup(box);
    group->addButton(first);
    group->addButton(second);
    return box;
}

}  // namespace

TframeCacheSettings::TframeCacheSettings(QWidget* parent)
    : QWidget(parent),
      useCache_(new QRadioButton(QStringLiteral("キャッシュ機能を使用する(&U)"), this)),
      noCache_(new QRadioButton(QStringLiteral("キャッシュ機能を使用しない(&N)"), this)),
      unlimited_(new QRadioButton(QStringLiteral("無制限(&M)"), this)),
      limited_(new QRadioButton(QStringLiteral("最大サイズを指定する(&L)"), this)),
      megabytes_(new QSpinBox(this))
{
    setObjectName("frameCacheSettings");
    megabytes_->setRange(MinLimit, MaxLimit);
    auto* unit = new QLabel(QStringLiteral("MB(&B)"), this);
    unit->setBuddy(megabytes_);
    auto* sizeRow = new QWidget(this);
    auto* sizeLayout = new QHBoxLayout(sizeRow);
    sizeLayout->setContentsMargins(0, 0, 0, 0);
    sizeLayout->addWidget(megabytes_);
    sizeLayout->addWidget(unit);

    auto* clearBox = new QGroupBox(QStringLiteral("キャッシュのクリア"), this);
    auto* clearLayout = new QHBoxLayout(clearBox);
    clearLayout->addWidget(new QLabel(QStringLiteral("キャッシュに格納されている現在までの情報をすべて削除します"), clearBox));
    auto* clear = new QPushButton(QStringLiteral("クリア"), clearBox);
    clear->setAutoDefault(false);
    clearLayout->addWidget(clear);
    connect(clear, &QPushButton::clicked, this, [this] { ClearCache(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ChoiceBox(this, useCache_, noCache_));
    layout->addWidget(ChoiceBox(this, unlimited_, limited_, sizeRow));
    layout->addWidget(clearBox);
    layout->addStretch();

    const bool enabled = TAppFrame::ReadBool(QStringLiteral("CacheEnabl"), true);
    const int limit = TAppFrame::ReadInteger(QStringLiteral("CacheLimit"), 0);
    (enabled ? useCache_ : noCache_)->setChecked(true);
    (limit <= 0 ? unlimited_ : limited_)->setChecked(true);
    megabytes_->setValue(std::clamp(limit, MinLimit, MaxLimit));
    for (QRadioButton* button : {useCache_, noCache_, unlimited_, limited_})
        connect(button, &QRadioButton::toggled, this, [this] { UpdateEnabled(); });
    UpdateEnabled();
}

void TframeCacheSettings::UpdateEnabled()
{
    const bool enabled = useCache_->isChecked();
    unlimited_->setEnabled(enabled);
    limited_->setEnabled(enabled);
    megabytes_->setEnabled(enabled && limited_->isChecked());
}

void TframeCacheSettings::Save()
{
    const bool enabled = useCache_->isChecked();
    const int limit = limited_->isChecked() ? megabytes_->value() : 0;
    TAppFrame::WriteBool(QStringLiteral("CacheEnabl"), enabled);
    TAppFrame::WriteInteger(QStringLiteral("CacheLimit"), limit);
    ImageCache().SetLimit(CacheLimitFromSettings(enabled, limit));
}

void TframeCacheSettings::ClearCache()
{
    ImageCache().Clear();
    TAppFrame::ShowOkMessage(QStringLiteral("キャッシュの内容をクリアしました"));
}

}  // namespace kestrel
