#include "DiscToc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <memory>

#include "DiscText.h"

namespace kestrel::plugin {

namespace {

// Sheets are small; anything larger is not one.
constexpr qint64 kMaxSheetBytes = 1024 * 1024;

struct TCdioCloser {
    void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
using TCdio = std::unique_ptr<CdIo_t, TCdioCloser>;

bool IsImage(const QString& source, const char* suffix)
{
    return source.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

void CheckImageFile(const QString& file)
{
    const QFileInfo info(file);
    if (!info.exists()) throw EPluginError(QStringLiteral("「%1」がありません").arg(file));
    if (!info.isFile()) throw EPluginError(QStringLiteral("「%1」は通常のファイルではありません").arg(file));
    if (info.size() > kMaxSheetBytes)
        throw EPluginError(QStringLiteral("「%1」は大きすぎてキューシートではありません").arg(file));
}

// The data file the sheet's first FILE line names, beside the sheet; empty when there is none.
QString FirstDataFile(const QFileInfo& sheet)
{
    QFile file(sheet.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    static const QRegularExpression fileLine(QStringLiteral(R"re(^\s*FILE\s+(?:"([^"]*)"|(\S+)))re"),
                                             QRegularExpression::MultilineOption);
    // File names are bytes on this system: taken as they stand, whatever the sheet's encoding.
    const QRegularExpressionMatch match = fileLine.match(QString::fromLatin1(file.read(kMaxSheetBytes)));
    if (!match.hasMatch()) return {};
    const QString name = QFile::decodeName(match.captured(match.lastCapturedIndex()).toLatin1());
    return name.isEmpty() ? QString() : sheet.dir().absoluteFilePath(name);
}

// libcdio opens the data files a sheet names relative to the current folder, not the sheet's.
TCdio OpenFrom(const QString& folder, const QString& sheetPath, CdIo_t* (*open)(const char*))
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    TCdio cdio(open(QFile::encodeName(sheetPath).constData()));
    QDir::setCurrent(previous);
    return cdio;
}

TCdio OpenImage(const QString& source, CdIo_t* (*open)(const char*))
{
    CheckImageFile(source);
    const QFileInfo sheet(source);
    return OpenFrom(sheet.absolutePath(), sheet.absoluteFilePath(), open);
}

// libcdio also insists on "<sheet>.bin" beside a cue sheet whatever its FILE line says: a sheet
// naming another data file is opened through links of those two names in a folder of our own.
TCdio OpenCueImage(const QString& source)
{
    CheckImageFile(source);
    const QFileInfo sheet(source);
    const QString data = FirstDataFile(sheet);
    if (QFileInfo::exists(sheet.dir().filePath(sheet.completeBaseName() + QStringLiteral(".bin"))) ||
        !QFileInfo(data).isFile())
        return OpenImage(source, &cdio_open_cue);
    QTemporaryDir links;
    const QString linkedSheet = links.filePath(QStringLiteral("sheet.cue"));
    if (!links.isValid() || !QFile::link(sheet.absoluteFilePath(), linkedSheet) ||
        !QFile::link(data, links.filePath(QStringLiteral("sheet.bin"))))
        return OpenImage(source, &cdio_open_cue);
    return OpenFrom(sheet.absolutePath(), linkedSheet, &cdio_open_cue);
}

TCdio Open(const QString& source)
{
    // libcdio's own complaints would go to standard error; ours reach the user instead.
    cdio_log_set_handler([](cdio_log_level_t, const char*) {});
    if (IsImage(source, ".cue")) return OpenCueImage(source);
    if (IsImage(source, ".toc")) return OpenImage(source, &cdio_open_cdrdao);
    return TCdio(cdio_open(QFile::encodeName(source).constData(), DRIVER_DEVICE));
}

// libcdio hands image text over as if it were ISO 8859-1; the original bytes are wanted.
QString FieldText(cdtext_t* text, cdtext_field_t field, track_t track)
{
    if (!text) return {};
    const char* value = cdtext_get_const(text, field, track);
    if (!value) return {};
    return DecodeDiscBytes(QString::fromUtf8(value).toLatin1());
}

class TFieldReader {
public:
    TFieldReader(cdtext_t* text, QStringList* warnings) : text_(text), warnings_(warnings) {}

    QString Read(cdtext_field_t field, track_t track, const QString& what)
    {
        bool replaced = false;
        const QString value = FitCp932(FieldText(text_, field, track), &replaced);
        if (replaced)
            warnings_->append(QStringLiteral("%1「%2」にはShift-JISで表せない文字があり、「?」で表示しています")
                                  .arg(what, value));
        return value;
    }

private:
    cdtext_t* text_;
    QStringList* warnings_;
};

QString TrackWhat(int number, const char* field)
{
    return QStringLiteral("トラック %1 の%2").arg(number).arg(QString::fromUtf8(field));
}

}  // namespace

QStringList OpticalDrives()
{
    QStringList drives;
    char** devices = cdio_get_devices(DRIVER_DEVICE);
    for (char** device = devices; device && *device; ++device) drives << QFile::decodeName(*device);
    if (devices) cdio_free_device_list(devices);
    return drives;
}

TDiscToc ReadDiscToc(const QString& source)
{
    if (source.isEmpty()) throw EPluginError(QStringLiteral("ドライブもイメージも指定されていません"));
    const TCdio cdio = Open(source);
    if (!cdio) throw EPluginError(QStringLiteral("「%1」のディスクを読めません").arg(source));
    const track_t first = cdio_get_first_track_num(cdio.get());
    const track_t count = cdio_get_num_tracks(cdio.get());
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 || first + count - 1 > 99)
        throw EPluginError(QStringLiteral("「%1」に目次がありません").arg(source));

    TDiscToc toc;
    toc.source = source;
    toc.leadOutSector = cdio_get_track_lsn(cdio.get(), CDIO_CDROM_LEADOUT_TRACK);
    cdtext_t* text = cdio_get_cdtext(cdio.get());
    TFieldReader fields(text, &toc.warnings);
    toc.title = fields.Read(CDTEXT_FIELD_TITLE, 0, QStringLiteral("アルバムのタイトル"));
    toc.performer = fields.Read(CDTEXT_FIELD_PERFORMER, 0, QStringLiteral("アルバムのアーティスト"));
    for (track_t number = first; number < first + count; ++number) {
        TDiscTrack track;
        track.number = number;
        track.startSector = cdio_get_track_lsn(cdio.get(), number);
        track.audio = cdio_get_track_format(cdio.get(), number) == TRACK_FORMAT_AUDIO;
        track.title = fields.Read(CDTEXT_FIELD_TITLE, number, TrackWhat(number, "タイトル"));
        track.performer = fields.Read(CDTEXT_FIELD_PERFORMER, number, TrackWhat(number, "アーティスト"));
        toc.tracks.push_back(track);
    }
    for (size_t i = 0; i < toc.tracks.size(); ++i) {
        const long end = i + 1 < toc.tracks.size() ? toc.tracks[i + 1].startSector : toc.leadOutSector;
        if (toc.tracks[i].startSector < 0 || end < toc.tracks[i].startSector)
            throw EPluginError(QStringLiteral("「%1」の目次が壊れています").arg(source));
        toc.tracks[i].sectors = end - toc.tracks[i].startSector;
    }
    return toc;
}

TAlbumData AlbumOf(const TDiscToc& toc)
{
    TAlbumData album;
    album.source = toc.source;
    album.title = toc.title;
    album.artist = toc.performer;
    for (const TDiscTrack& track : toc.tracks) {
        if (!track.audio) continue;
        album.tracks.push_back({track.title, track.performer, FramesToTime(track.sectors)});
    }
    return album;
}

}  // namespace kestrel::plugin
