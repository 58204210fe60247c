#include "objects/BackgroundLibrary.h"

#include <QFileInfo>

#include "app/AppFrame.h"
#include "imaging/ImagePack.h"
#include "platform/Graphic.h"
#include "platform/IniText.h"
#include "platform/ProgramPaths.h"

namespace kestrel {

std::vector<TBackgroundFolder> TBackgroundGenre::Folders() const
{
    if (!subGenres.empty()) return subGenres;
    return {{QString(), folder, false}};
}

std::vector<TBackgroundGenre> ReadBackgroundGenres(const QString& file)
{
    std::vector<TBackgroundGenre> genres;
    for (const TIniSection& section : ReadIniFile(file)) {
        TBackgroundGenre genre;
        for (const QString& purpose : section.name.split(',')) genre.purposes << purpose.trimmed();
        genre.caption = section.Value("Caption");
        genre.folder = section.Value("Genre");
        for (const auto& [key, value] : section.values) {
            if (!key.startsWith(QLatin1String("SubGenre"), Qt::CaseInsensitive)) continue;
            const QStringList fields = value.split(',');
            if (fields.size() < 2) continue;
            genre.subGenres.push_back({fields[0].trimmed(), fields[1].trimmed(), fields.size() > 2 && fields[2].trimmed().toInt() != 0});
        }
        genres.push_back(genre);
    }
    return genres;
}

int DefaultBackgroundGenre(const std::vector<TBackgroundGenre>& genres, const QString& purpose)
{
    for (const QString& wanted : {purpose, QStringLiteral("*")})
        for (size_t i = 0; i < genres.size(); ++i)
            if (!wanted.isEmpty() && genres[i].purposes.contains(wanted, Qt::CaseInsensitive)) return int(i);
    return -1;
}

QString LocateBackgroundFolder(const QString& folder)
{
    if (folder.isEmpty()) return {};
    const QString first = TAppFrame::FindDataFile(folder + QStringLiteral("\\*.*"));
    return first.isEmpty() ? QString() : QFileInfo(first).path();
}

QStringList BackgroundPictures(const QString& locatedFolder)
{
    if (locatedFolder.isEmpty()) return {};
    TFolderImagePack pack;
    pack.SetFileMask(JoinPath(locatedFolder, QStringLiteral("*.*")));
    const TAppFrame* frame = TAppFrame::Instance();
    const QString extensions = frame ? frame->Expand(QStringLiteral("$(ImageFileExtentions:inessential)")) : QString();
    pack.FilterByExtensions(extensions.isEmpty() ? DefaultImageFileExtensions() : extensions);
    return pack.FileList();
}

}  // namespace kestrel
