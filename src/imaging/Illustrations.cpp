#include "imaging/Illustrations.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>

#include "app/AppFrame.h"
#include "platform/Error.h"
#include "platform/IniText.h"
#include "platform/RegularFile.h"

namespace kestrel {

namespace {

constexpr qint64 MaxIllustrationBytes = 16 * 1024 * 1024;
constexpr int MaxRasterSide = 4096;

QStringList SvgFilesIn(const QDir& folder)
{
    QStringList files;
    for (const QString& name : folder.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name)) files << folder.filePath(name);
    return files;
}

// The category's pictures and those of its sub-folders, each name once.
QStringList ClipArtFiles(const QString& category)
{
    QStringList files = SvgFilesIn(QDir(category));
    QSet<QString> names;
    for (const QString& file : files) names.insert(QFileInfo(file).fileName());
    QStringList below;
    QDirIterator it(category, {QStringLiteral("*.svg")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (QFileInfo(file).dir() != QDir(category) && !names.contains(it.fileName())) {
            names.insert(it.fileName());
            below << file;
        }
    }
    below.sort();
    return files + below;
}

// A picture may refer to parts of itself and carry embedded data, nothing outside it: a
// reference to another file could name one that never ends.
bool RefersOutside(const QByteArray& svg)
{
    static const QRegularExpression reference(QStringLiteral("href\\s*=\\s*[\"']\\s*([^\"'#\\s][^\"']*)[\"']"));
    QRegularExpressionMatchIterator it = reference.globalMatch(QString::fromUtf8(svg));
    while (it.hasNext())
        if (!it.next().captured(1).startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) return true;
    return false;
}

// Hard edges from a smooth drawing (the SVG renderer always smooths): pixels at least half
// covered become opaque, the others clear.
QImage HardEdges(QImage drawn)
{
    for (int y = 0; y < drawn.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(drawn.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) row[x] = qAlpha(row[x]) >= 128 ? row[x] | 0xFF000000 : 0;
    }
    return drawn;
}

}  // namespace

std::vector<TIllustrationGenre> ReadIllustrationIndex(const QString& indexFile)
{
    std::vector<TIllustrationGenre> genres;
    for (const TIniSection& section : ReadIniFile(indexFile)) {
        TIllustrationGenre genre;
        genre.caption = section.Value("Caption", section.name);
        genre.folder = TAppFrame::FindDataFile(section.Value("Genre"));
        genre.drawingColor = ColorValue(section, "Color", clNone);
        if (genre.folder.isEmpty() || section.Value("Genre").isEmpty()) continue;
        genre.files = SvgFilesIn(QDir(genre.folder));
        if (!genre.files.isEmpty()) genres.push_back(genre);
    }
    return genres;
}

std::vector<TIllustrationGenre> ClipArtGenres(const QString& root)
{
    std::vector<TIllustrationGenre> genres;
    const QDir dir(root);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        TIllustrationGenre genre{name, dir.filePath(name), clNone, ClipArtFiles(dir.filePath(name))};
        if (!genre.files.isEmpty()) genres.push_back(genre);
    }
    return genres;
}

std::vector<TIllustrationGenre> IllustrationGenres()
{
    std::vector<TIllustrationGenre> genres = ReadIllustrationIndex(TAppFrame::FindDataFile(IllustrationIndexFile));
    for (TIllustrationGenre& genre : ClipArtGenres(ClipArtFolder)) genres.push_back(std::move(genre));
    return genres;
}

QImage RasteriseIllustration(const QString& file, int longSide, bool smooth)
{
    const QString failed = QStringLiteral("イラストを読み込めませんでした: %1").arg(QFileInfo(file).fileName());
    QByteArray svg;
    try {
        svg = ReadRegularFile(file, MaxIllustrationBytes);
    } catch (const EFileRefused& e) {
        throw EReadError(failed + QLatin1Char('\n') + e.Message());
    }
    if (RefersOutside(svg)) throw EReadError(failed);
    QSvgRenderer renderer(svg);
    const QSizeF size = renderer.viewBoxF().size();
    if (!renderer.isValid() || size.isEmpty()) throw EReadError(failed);
    const int side = std::clamp(longSide, 1, MaxRasterSide);
    const QSize fitted = size.scaled(side, side, Qt::KeepAspectRatio).toSize().expandedTo({1, 1});
    // Sixteen bits a channel, so that half-covered pixels keep the exact colour of the drawing.
    QImage image(fitted, QImage::Format_RGBA64_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    const QImage drawn = image.convertToFormat(QImage::Format_ARGB32);
    return smooth ? drawn : HardEdges(drawn);
}

}  // namespace kestrel
