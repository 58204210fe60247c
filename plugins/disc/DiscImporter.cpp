#include "DiscImporter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "DiscToc.h"

namespace kestrel::plugin {

namespace {

const QString ExporterName = QStringLiteral("CUEシート");
const QString FolderSetting = QStringLiteral("Folder");

QString DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
}

// Sheet text has no escapes: quotes and line breaks cannot appear inside a field.
QString SheetField(const QString& text)
{
    QString field = text;
    field.replace(u'"', u'\'');
    field.replace(u'\r', u' ');
    field.replace(u'\n', u' ');
    return field;
}

QString Msf(long sectors)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / (75 * 60), 2, 10, QLatin1Char('0'))
        .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % 75, 2, 10, QLatin1Char('0'));
}

// "m:ss" (or "h:mm:ss") as sectors; text that is no time counts as nothing.
long TimeToSectors(const QString& time)
{
    long seconds = 0;
    for (const QString& part : time.split(u':')) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok || value < 0) return 0;
        seconds = seconds * 60 + value;
    }
    return seconds * 75;
}

std::vector<long> PositionsFromTimes(const TAlbumData& album)
{
    std::vector<long> positions;
    long position = 0;
    for (const TTrackData& track : album.tracks) {
        positions.push_back(position);
        position += TimeToSectors(track.time);
    }
    return positions;
}

QString SafeFileName(const QString& title)
{
    QString name = title.trimmed();
    for (QChar& c : name)
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control) c = u'_';
    if (name.isEmpty() || name.startsWith(u'.')) name.prepend(QStringLiteral("album"));
    return name.left(120);
}

QString FreeName(const QDir& folder, const QString& base)
{
    QString name = base + QStringLiteral(".cue");
    for (int i = 2; folder.exists(name); ++i) name = QStringLiteral("%1 (%2).cue").arg(base).arg(i);
    return folder.filePath(name);
}

}  // namespace

QString TDiscImporter::Description()
{
    return WriteDescription(QStringLiteral("CD-TEXT"));
}

QString TDiscImporter::Import(const TRequest& request, TStatus& status)
{
    status.Set(QStringLiteral("「%1」の目次を読んでいます").arg(request.source));
    const TDiscToc toc = ReadDiscToc(request.source);
    return WriteResult({AlbumOf(toc)}, toc.warnings);
}

QString TCueSheetExporter::Description()
{
    return WriteDescription(ExporterName);
}

QByteArray TCueSheetExporter::Sheet(const TAlbumData& album, const QString& audioFile, const std::vector<long>& positions)
{
    QString text;
    text += QStringLiteral("PERFORMER \"%1\"\r\n").arg(SheetField(album.artist));
    text += QStringLiteral("TITLE \"%1\"\r\n").arg(SheetField(album.title));
    text += QStringLiteral("FILE \"%1\" BINARY\r\n").arg(SheetField(audioFile));
    for (size_t i = 0; i < album.tracks.size(); ++i) {
        const TTrackData& track = album.tracks[i];
        text += QStringLiteral("  TRACK %1 AUDIO\r\n").arg(int(i + 1), 2, 10, QLatin1Char('0'));
        text += QStringLiteral("    TITLE \"%1\"\r\n").arg(SheetField(track.title));
        text += QStringLiteral("    PERFORMER \"%1\"\r\n").arg(SheetField(track.artist.isEmpty() ? album.artist : track.artist));
        text += QStringLiteral("    INDEX 01 %1\r\n").arg(Msf(i < positions.size() ? positions[i] : 0));
    }
    return text.toUtf8();
}

TSettingsPage* TCueSheetExporter::SettingsPage()
{
    if (!page_) {
        page_ = std::make_unique<TSettingsForm>(RegistryKey(), ExporterName);
        page_->AddFolder(QStringLiteral("保存先フォルダ(&F)"), FolderSetting, DefaultFolder());
    }
    return page_.get();
}

bool TCueSheetExporter::Export(const TRequest& request, TStatus& status)
{
    if (request.album.tracks.empty() || request.album.tracks.size() > 99)
        throw EPluginError(QStringLiteral("トラックは 1 から 99 曲までです"));
    std::vector<long> positions = PositionsFromTimes(request.album);
    try {
        const TDiscToc toc = ReadDiscToc(request.source);
        std::vector<long> fromDisc;
        for (const TDiscTrack& track : toc.tracks)
            if (track.audio) fromDisc.push_back(track.startSector);
        if (fromDisc.size() == request.album.tracks.size()) positions = fromDisc;
    } catch (const EPluginError&) {
        // No disc to take positions from: the playing times give them.
    }
    const TPluginSettings settings(RegistryKey(), ExporterName);
    const QDir folder(settings.Read(FolderSetting, DefaultFolder()));
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        throw EPluginError(QStringLiteral("フォルダ「%1」を作れません").arg(folder.path()));
    const QString file = FreeName(folder, SafeFileName(request.album.title));
    // Disc image readers look for the data beside the sheet under the sheet's own name.
    const QString audioFile = QFileInfo(file).completeBaseName() + QStringLiteral(".bin");
    status.Set(QStringLiteral("「%1」に書き込んでいます").arg(file));
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(Sheet(request.album, audioFile, positions)) < 0 || !out.commit())
        throw EPluginError(QStringLiteral("「%1」に書き込めません").arg(file));
    return true;
}

}  // namespace kestrel::plugin
