#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kestrel {

bool InstallQtTranslations(QCoreApplication& application)
{
    // "qt_ja" gathers the catalogues of every Qt module that has one.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qt_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace kestrel
