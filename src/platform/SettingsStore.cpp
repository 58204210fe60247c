#include "platform/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace kestrel {

namespace {

// QSettings separates groups with "/"; the store's key paths use backslashes.
QString GroupOf(const QString& keyPath)
{
    QString group = keyPath;
    group.replace(u'\\', u'/');
    return group;
}

std::unique_ptr<QSettings> OpenStore(const QString& keyPath)
{
    auto settings = std::make_unique<QSettings>(TSettingsKey::StoreFile(), QSettings::IniFormat);
    settings->beginGroup(GroupOf(keyPath));
    return settings;
}

// Flushes a write; a store that cannot be written is an error, not a silent loss.
void Commit(QSettings& settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw ESettingsError(
            QStringLiteral("設定ファイル「%1」に書き込めませんでした").arg(settings.fileName()));
}

}  // namespace

TSettingsKey::TSettingsKey(QString keyPath) : path_(std::move(keyPath)) {}

QString TSettingsKey::StoreFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/kestrel/settings.ini";
}

bool TSettingsKey::KeyExists(const QString& keyPath)
{
    const auto settings = OpenStore(keyPath);
    return !settings->childKeys().isEmpty() || !settings->childGroups().isEmpty();
}

void TSettingsKey::DeleteKey(const QString& keyPath)
{
    if (!KeyExists(keyPath)) return;
    const auto settings = OpenStore(keyPath);
    settings->remove(QString());
    Commit(*settings);
}

bool TSettingsKey::ValueExists(const QString& name) const
{
    return OpenStore(path_)->childKeys().contains(name);
}

QStringList TSettingsKey::ValueNames() const
{
    return OpenStore(path_)->childKeys();
}

QStringList TSettingsKey::SubKeyNames() const
{
    return OpenStore(path_)->childGroups();
}

QString TSettingsKey::ReadString(const QString& name, const QString& def) const
{
    const QVariant value = OpenStore(path_)->value(name);
    return value.isValid() ? value.toString() : def;
}

int TSettingsKey::ReadInteger(const QString& name, int def) const
{
    bool ok = false;
    const int value = ReadString(name, QString()).trimmed().toInt(&ok);
    return ok ? value : def;
}

bool TSettingsKey::ReadBool(const QString& name, bool def) const
{
    return ReadInteger(name, def ? 1 : 0) != 0;
}

void TSettingsKey::WriteString(const QString& name, const QString& value)
{
    const auto settings = OpenStore(path_);
    settings->setValue(name, value);
    Commit(*settings);
}

void TSettingsKey::WriteInteger(const QString& name, int value)
{
    WriteString(name, QString::number(value));
}

void TSettingsKey::WriteBool(const QString& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

void TSettingsKey::DeleteValue(const QString& name)
{
    if (!ValueExists(name)) return;
    const auto settings = OpenStore(path_);
    settings->remove(name);
    Commit(*settings);
}

void TSettingsKey::ReplaceValues(const QList<std::pair<QString, QString>>& values)
{
    const auto settings = OpenStore(path_);
    settings->remove(QString());
    for (const auto& [name, value] : values) settings->setValue(name, value);
    Commit(*settings);
}

}  // namespace kestrel
