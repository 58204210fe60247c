#include <gtest/gtest.h>

#include <QTemporaryDir>

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

TEST_F(Metafiles, DrawTheExpectedColoursAtTheProbePoints)
{
    ASSERT_GE(lines_.size(), 10);
    for (const QStringList& line : lines_) {
        const TGraphic graphic = LoadGraphicFile(folder_.filePath(line[0]));
        EXPECT_TRUE(graphic.IsMetafile());
        const QImage& picture = graphic.Image();
        for (qsizetype i = 1; i + 2 < line.size(); i += 3) {
            const int x = line[i].toInt(), y = line[i + 1].toInt();
            const QRgb pixel = picture.pixel(x, y);
            if (line[i + 2] == "-1")
                EXPECT_EQ(qAlpha(pixel), 0) << line[0].toStdString() << " at " << x << "," << y;
            else
                EXPECT_EQ(pixel & 0xFFFFFF, line[i + 2].toUInt(nullptr, 16)) << line[0].toStdString() << " at " << x << "," << y;
        }
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
