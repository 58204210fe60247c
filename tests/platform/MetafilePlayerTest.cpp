#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "platform/Graphic.h"
#include "platform/MetafilePlayer.h"
#include "support/CfbTestSupport.h"

namespace kestrel {
namespace {

// Metafiles written record by record by a script of ours, with the colours expected at probe
// points (-1: nothing drawn there).
class Metafiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QByteArray listing = test::RunProgram(
            "/usr/bin/python3", {QStringLiteral(KESTREL_TEST_SOURCE_DIR "/platform/make_metafiles.py"), folder_.path()});
        for (const QByteArray& line : listing.split('\n'))
            if (!line.trimmed().isEmpty()) lines_ << QString::fromLatin1(line).split(' ');
    }
    QTemporaryDir folder_;
    QList<QStringList> lines_;
};

// The expected colour at a probe: -1 means nothing was drawn there.
void ExpectProbe(const QImage& picture, QPoint at, const QString& expected, const QString& where)
{
    const QRgb pixel = picture.pixel(at);
    if (expected == "-1")
        EXPECT_EQ(qAlpha(pixel), 0) << where.toStdString();
    else
        EXPECT_EQ(pixel & 0xFFFFFF, expected.toUInt(nullptr, 16)) << where.toStdString();
}

TEST_F(Metafiles, DrawTheExpectedColoursAtTheProbePoints)
{
    ASSERT_GE(lines_.size(), 10);
    for (const QStringList& line : lines_) {
        const TGraphic graphic = LoadGraphicFile(folder_.filePath(line[0]));
        EXPECT_TRUE(graphic.IsMetafile());
        for (qsizetype i = 1; i + 2 < line.size(); i += 3)
            ExpectProbe(graphic.Image(), QPoint(line[i].toInt(), line[i + 1].toInt()), line[i + 2],
                        line[0] + " at " + line[i] + "," + line[i + 1]);
    }
}

// Vectors through a canvas with a mapping and a device offset of its own, three times larger.
TEST_F(Metafiles, PlayedLargerThroughAMappedCanvasTheyKeepTheirColours)
{
    constexpr int Scale = 3, Margin = 10;
    for (const QStringList& line : lines_) {
        const QByteArray bytes = test::ReadFileBytes(folder_.filePath(line[0]));
        const QSize size = MetafileSize(bytes);
        QImage surface(size * Scale + QSize(2 * Margin, 2 * Margin), QImage::Format_ARGB32);
        surface.fill(Qt::transparent);
        {
            TCanvas canvas(surface);
            canvas.SetDeviceOffset({Margin, Margin});
            canvas.SetMapping({{0, 0}, {2, 2}, {0, 0}, {Scale, Scale}});
            PlayMetafile(bytes, canvas, {0, 0, size.width() * 2, size.height() * 2});
        }
        for (qsizetype i = 1; i + 2 < line.size(); i += 3) {
            const QPoint at(Margin + int((line[i].toInt() + 0.5) * Scale), Margin + int((line[i + 1].toInt() + 0.5) * Scale));
            ExpectProbe(surface, at, line[i + 2], line[0] + " at " + line[i] + "," + line[i + 1]);
        }
        // Nothing lands outside the target.
        EXPECT_EQ(qAlpha(surface.pixel(Margin - 1, Margin - 1)), 0) << line[0].toStdString();
        EXPECT_EQ(qAlpha(surface.pixel(surface.width() - Margin, surface.height() - Margin)), 0) << line[0].toStdString();
    }
}

TEST_F(Metafiles, DataRecordsKeepTheMetafileBytes)
{
    for (const QStringList& line : lines_) {
        const TGraphic graphic = LoadGraphicFile(folder_.filePath(line[0]));
        QByteArray data;
        WriteGraphicData(data, graphic);
        TBoundedReader in(data);
        const TGraphic again = ReadGraphicData(in);
        EXPECT_EQ(again.Bytes(), test::ReadFileBytes(folder_.filePath(line[0])));
        EXPECT_TRUE(again.IsMetafile());
    }
}

TEST_F(Metafiles, TruncatedAndCorruptedFilesNeverCrash)
{
    for (const QStringList& line : lines_) {
        const QByteArray bytes = test::ReadFileBytes(folder_.filePath(line[0]));
        for (qsizetype cut = 0; cut < bytes.size(); cut += 3) {
            try {
                PlayMetafile(bytes.left(cut));
            } catch (const EReadError&) {
            }
        }
        for (qsizetype at = 0; at < bytes.size(); ++at) {
            QByteArray damaged = bytes;
            damaged[at] = char(damaged[at] ^ 0xA5);
            try {
                const QImage picture = PlayMetafile(damaged);
                EXPECT_LE(std::max(picture.width(), picture.height()), MaxMetafileSide);
            } catch (const EReadError&) {
            }
        }
    }
}

}  // namespace
}  // namespace kestrel
