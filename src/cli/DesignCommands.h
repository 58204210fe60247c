#pragma once

#include <QStringList>
#include <QTextStream>

namespace kestrel {

// build-templates SOURCE.json FOLDER: the template scenes as documents in FOLDER/Data/Template,
// with the genre file and the ID index.
int RunBuildTemplatesCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// templates: the shipped templates by purpose and genre, with their IDs and input captions.
int RunTemplatesCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);
// backgrounds: the background genres, their folders and pictures.
int RunBackgroundsCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors);

}  // namespace kestrel
