#pragma once

#include <QString>
#include <QStringList>
#include <utility>

#include "platform/Error.h"

namespace kestrel {

// A write to the settings store failed (e.g. the file is read-only).
class ESettingsError : public EKestrel {
public:
    using EKestrel::EKestrel;
    const char* ClassName() const override { return "ESettingsError"; }
};

// One key of the per-user settings store. Keys are addressed by backslash paths such as
// "Software\Corvidworks\KestrelMusic\1.0\Settings"; values are read and written by name.
//
// The whole store is one INI file, "kestrel/settings.ini" under the XDG config folder
// (QStandardPaths::GenericConfigLocation, i.e. $XDG_CONFIG_HOME or ~/.config), so every program
// of the product (desktop and command line) shares it. Reading never creates the file or a key;
// the first write does; a failed write raises ESettingsError. Integers and booleans are stored as decimal
// text (booleans as 0/1).
class TSettingsKey {
public:
    explicit TSettingsKey(QString keyPath);

    static QString StoreFile();
    static bool KeyExists(const QString& keyPath);
    // Removes the key with all its values and sub-keys.
    static void DeleteKey(const QString& keyPath);

    const QString& Path() const { return path_; }
    bool Exists() const { return KeyExists(path_); }
    bool ValueExists(const QString& name) const;
    QStringList ValueNames() const;
    QStringList SubKeyNames() const;

    QString ReadString(const QString& name, const QString& def) const;
    // Text that is not a decimal integer gives the default.
    int ReadInteger(const QString& name, int def) const;
    bool ReadBool(const QString& name, bool def) const;

    void WriteString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);
    void DeleteValue(const QString& name);
    // Removes every value and sub-key of the key, then writes values, all in one write.
    void ReplaceValues(const QList<std::pair<QString, QString>>& values);

private:
    QString path_;
};

}  // namespace kestrel
