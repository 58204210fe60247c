#include "objects/DecoLinePatterns.h"

#include <QDir>
#include <QImageReader>

#include "app/AppFrame.h"

namespace kestrel {

QStringList DecoLinePatternFiles()
{
    const QString folder = TAppFrame::FindDataFile(QStringLiteral("ILLUST\\DecoLine"));
    if (folder.isEmpty()) return {};
    QStringList suffixes;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        suffixes << QStringLiteral("*.") + QString::fromLatin1(format);
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(suffixes, QDir::Files | QDir::Readable, QDir::Name))
        files << dir.filePath(name);
    return files;
}

}  // namespace kestrel
