#pragma once

class QCoreApplication;

namespace kestrel {

// Qt's own texts (file, colour, font and print dialogs, standard buttons, edit menus) in
// Japanese, as the rest of the program speaks, whatever the user's locale. False when Qt's
// translations are not installed; the dialogs then stay in Qt's English.
bool InstallQtTranslations(QCoreApplication& application);

}  // namespace kestrel
