#include "app/HistoryManager.h"

#include <algorithm>
#include <map>

#include "app/AppFrame.h"
#include "platform/SettingsStore.h"

namespace kestrel {

namespace {

const QString ItemPrefix = QStringLiteral("Item");

// The position an "Item<n>" value name stands for, or -1 for any other name.
int ItemPosition(const QString& valueName)
{
    if (!valueName.startsWith(ItemPrefix)) return -1;
    bool ok = false;
    const int position = valueName.mid(ItemPrefix.size()).toInt(&ok);
    return ok && position >= 0 ? position : -1;
}

// "0"-"9", then "A", "B", ...; positions past "Z" get no accelerator.
QString AcceleratorOf(int index)
{
    if (index < 10) return QString(QChar(u'0' + index));
    if (index < 10 + 26) return QString(QChar(u'A' + index - 10));
    return {};
}

}  // namespace

THistoryManager::THistoryManager(QString registryKey, int limit) : registryKey_(std::move(registryKey)), limit_(limit)
{
}

void THistoryManager::SetRegistryKey(const QString& key)
{
    registryKey_ = key;
    RebuildMenu();
}

void THistoryManager::SetLimit(int limit)
{
    limit_ = std::max(0, limit);
    RebuildMenu();
}

void THistoryManager::SetMenuItem(IHistoryMenu* menu)
{
    if (menu_ && menu_ != menu) menu_->ClearHistoryItems();
    menu_ = menu;
    RebuildMenu();
}

void THistoryManager::SetUseAccelerator(bool use)
{
    useAccelerator_ = use;
    RebuildMenu();
}

void THistoryManager::SetClearHistoryCaption(const QString& caption)
{
    clearCaption_ = caption;
    RebuildMenu();
}

QString THistoryManager::KeyPath() const
{
    const QString expanded = ExpandMacro(registryKey_);
    const int separator = expanded.lastIndexOf(u'\\');
    if (separator <= 0 || separator == expanded.size() - 1)
        throw EHistoryError(QStringLiteral("History用のキーがセットされていません"));
    return expanded;
}

void THistoryManager::Reload()
{
    const TSettingsKey key(KeyPath());
    std::map<int, QString> byPosition;
    for (const QString& name : key.ValueNames())
        if (const int position = ItemPosition(name); position >= 0) byPosition.emplace(position, name);
    items_.clear();
    for (const auto& [position, name] : byPosition) {
        if (items_.size() >= limit_) break;
        items_ << key.ReadString(name, QString());
    }
}

void THistoryManager::Store()
{
    QList<std::pair<QString, QString>> values;
    for (int i = 0; i < items_.size(); ++i) values.append({ItemPrefix + QString::number(i), items_[i]});
    TSettingsKey(KeyPath()).ReplaceValues(values);
    ItemsChanged();
    RebuildMenu();
}

void THistoryManager::Add(const QString& text)
{
    Reload();
    items_.removeIf([&](const QString& item) { return item.compare(text, Qt::CaseInsensitive) == 0; });
    items_.prepend(text);
    while (items_.size() > limit_) items_.removeLast();
    Store();
}

void THistoryManager::Remove(const QString& text)
{
    Reload();
    items_.removeIf([&](const QString& item) { return item.compare(text, Qt::CaseInsensitive) == 0; });
    Store();
}

QStringList THistoryManager::Items()
{
    Reload();
    return items_;
}

void THistoryManager::Clear()
{
    Reload();
    items_.clear();
    Store();
}

QString THistoryManager::MenuCaption(int index, const QString& text) const
{
    // A "&" in the text (a file name may hold one) must not become an accelerator.
    QString shown = text;
    shown.replace(u'&', QStringLiteral("&&"));
    const QString accelerator = useAccelerator_ ? AcceleratorOf(index) : QString();
    return accelerator.isEmpty() ? shown : u'&' + accelerator + u' ' + shown;
}

void THistoryManager::RebuildMenu()
{
    if (!menu_ || registryKey_.isEmpty()) return;
    menu_->ClearHistoryItems();
    Reload();
    if (!items_.isEmpty()) {
        if (!menu_->AnchorIsFirst()) menu_->AddSeparator();
        for (int i = 0; i < items_.size(); ++i) {
            const QString text = items_[i];
            menu_->AddItem(MenuCaption(i, text), [this, text] {
                Add(text);
                if (OnMenuClick) OnMenuClick(*this, text);
            });
        }
        if (!clearCaption_.isEmpty()) {
            menu_->AddSeparator();
            menu_->AddItem(clearCaption_, [this] { Clear(); });
        }
    }
    menu_->Rebuilt(static_cast<int>(items_.size()));
}

void THistoryManagerEx::ItemsChanged()
{
    if (OnChangeItem) OnChangeItem(*this);
}

}  // namespace kestrel
