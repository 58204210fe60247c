#include <gtest/gtest.h>

#include <QImage>

#include "app/AppFrame.h"
#include "objects/DecoLinePatterns.h"

namespace kestrel {
namespace {

// The patterns are drawn into the data folder beside the built programs at build time.
TEST(DecoLinePatterns, TheShippedPatternsAreFoundInTheDataFolder)
{
    TAppFrame frame;
    frame.Macro().SetLines({QStringLiteral("ExeDir=" KESTREL_BINARY_DIR "/src/")});
    const QStringList files = DecoLinePatternFiles();
    ASSERT_GE(files.size(), 16);
    for (const QString& file : files) {
        const QImage pattern(file);
        ASSERT_FALSE(pattern.isNull()) << file.toStdString();
        EXPECT_EQ(pattern.size(), QSize(40, 20));
        int inked = 0;
        for (int y = 0; y < pattern.height(); ++y)
            for (int x = 0; x < pattern.width(); ++x) inked += (pattern.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
        EXPECT_GT(inked, 40) << "something is drawn in " << file.toStdString();
    }

    frame.Macro().SetLines({QStringLiteral("ExeDir=/nonexistent/")});
    EXPECT_TRUE(DecoLinePatternFiles().isEmpty());
}

}  // namespace
}  // namespace kestrel
