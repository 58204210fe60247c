#pragma once

// The background library the background chooser offers: genres from "Data\BackGrnd\BackGrnd.dat"
// (an INI file in code page 932). Each section is a genre, named by the face purposes it is the
// default for ("*": any); "Caption" names it, "Genre" is its picture folder when it has no
// sub-genres, and every key beginning with "SubGenre" is a sub-genre "name,folder[,tile]".

#include <QString>
#include <QStringList>
#include <vector>

namespace kestrel {

inline const QString BackgroundGenreFile = QStringLiteral("Data\\BackGrnd\\BackGrnd.dat");

struct TBackgroundFolder {
    QString caption;  // empty for a genre's own folder
    QString folder;   // as the file gives it, relative to the program's data
    bool tile = false;
};

struct TBackgroundGenre {
    QStringList purposes;
    QString caption;
    QString folder;
    std::vector<TBackgroundFolder> subGenres;  // in key order

    // Where its pictures come from: the sub-genres, or the genre's own folder (never tiled).
    std::vector<TBackgroundFolder> Folders() const;
};

// The genres in file order; a missing file gives none. Sub-genre values with fewer than two
// fields are left out.
std::vector<TBackgroundGenre> ReadBackgroundGenres(const QString& file);
// The first genre listing the purpose, else the first listing "*"; -1 when none does.
int DefaultBackgroundGenre(const std::vector<TBackgroundGenre>& genres, const QString& purpose);
// The real folder of a library folder, found with FindDataFile; empty when it holds nothing.
QString LocateBackgroundFolder(const QString& folder);
// The pictures of a located folder, by name (the extensions of "$(ImageFileExtentions)").
QStringList BackgroundPictures(const QString& locatedFolder);

}  // namespace kestrel
