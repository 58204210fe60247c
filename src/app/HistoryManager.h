#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "platform/Error.h"

namespace kestrel {

// A history's settings key has no key part to store it under.
class EHistoryError : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "EHistoryError"; }
};

// The menu a history mirrors itself into, around an anchor item the menu owns. The user
// interface implements it over its toolkit's menus.
class IHistoryMenu {
public:
    virtual ~IHistoryMenu() = default;
    // Removes the items added since the last call and hides the anchor.
    virtual void ClearHistoryItems() = 0;
    virtual bool AnchorIsFirst() const = 0;
    // Appends after the anchor, or after the item added last.
    virtual void AddSeparator() = 0;
    virtual void AddItem(const QString& caption, std::function<void()> chosen) = 0;
    // The rebuild is over; entries is the number of history entries shown.
    virtual void Rebuilt(int entries) = 0;
};

// A most-recently-used list of strings kept in the settings store: under the sub-key named by
// the last part of RegistryKey, one value "Item<n>" per entry, 0 being the most recent. Every
// operation reads the store first, so several managers (and programs) on one key agree.
class THistoryManager {
public:
    static constexpr int DefaultLimit = 10;

    THistoryManager() = default;
    // registryKey is macro-expanded when used.
    explicit THistoryManager(QString registryKey, int limit = DefaultLimit);
    virtual ~THistoryManager() = default;
    THistoryManager(const THistoryManager&) = delete;
    THistoryManager& operator=(const THistoryManager&) = delete;

    const QString& RegistryKey() const { return registryKey_; }
    void SetRegistryKey(const QString& key);
    int Limit() const { return limit_; }
    void SetLimit(int limit);
    IHistoryMenu* MenuItem() const { return menu_; }
    // The menu is borrowed; pass null before it goes away.
    void SetMenuItem(IHistoryMenu* menu);
    bool UseAccelerator() const { return useAccelerator_; }
    void SetUseAccelerator(bool use);
    const QString& ClearHistoryCaption() const { return clearCaption_; }
    void SetClearHistoryCaption(const QString& caption);

    // A history menu item was chosen; its entry has already moved to the top.
    std::function<void(THistoryManager& manager, const QString& text)> OnMenuClick;

    // Moves text to the top (an equal entry, ignoring case, is replaced) and drops entries
    // beyond the limit.
    void Add(const QString& text);
    void Remove(const QString& text);
    // Most recent first.
    QStringList Items();
    void Clear();

    // The caption of entry index as the menu shows it ("&" marks the accelerator).
    QString MenuCaption(int index, const QString& text) const;

protected:
    // After every stored change of the list.
    virtual void ItemsChanged() {}

private:
    QString KeyPath() const;
    void Reload();
    void Store();
    void RebuildMenu();

    QString registryKey_;
    int limit_ = DefaultLimit;
    IHistoryMenu* menu_ = nullptr;
    bool useAccelerator_ = true;
    QString clearCaption_;
    QStringList items_;
};

// A history that also reports every change of its list.
class THistoryManagerEx : public THistoryManager {
public:
    using THistoryManager::THistoryManager;
    std::function<void(THistoryManagerEx& manager)> OnChangeItem;

protected:
    void ItemsChanged() override;
};

// The caption of a menu's "clear the list" item.
inline const QString ClearHistoryMenuCaption = QStringLiteral("履歴の消去");

}  // namespace kestrel
