#include "objects/BackgroundLibrary.h"

#include <gtest/gtest.h>

#include "app/AppFrame.h"
#include "platform/Cp932.h"
#include "support/CfbTestSupport.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

TEST(BackgroundLibrary, GenresSubGenresAndDefaultsFromTheGenreFile)
{
    const QString file = test::TestFolder() + "/BackGrnd.dat";
    test::WriteFileBytes(file, ToCp932(QStringLiteral("[CDCover, CD]\r\nCaption=和\r\nSubGenre2=青海波,Data\\Wa\\Sei,1\r\n"
                                                       "SubGenre1=市松,Data\\Wa\\Ichi\r\nSubGenreX=壊れた値\r\nSubGenre3=麻,Data\\Wa\\Asa,0\r\n"
                                                       "[*]\r\nCaption=単色\r\nGenre=Data\\Plain\r\n[Label]\r\nCaption=ラベル\r\n")));
    const std::vector<TBackgroundGenre> genres = ReadBackgroundGenres(file);
    ASSERT_EQ(genres.size(), 3u);
    EXPECT_EQ(genres[0].purposes, (QStringList{"CDCover", "CD"}));
    EXPECT_EQ(genres[0].caption, u"和"_qs);
    // Key order, not the numbers in the keys; a value of one field is left out.
    ASSERT_EQ(genres[0].subGenres.size(), 3u);
    EXPECT_EQ(genres[0].subGenres[0].caption, u"青海波"_qs);
    EXPECT_TRUE(genres[0].subGenres[0].tile);
    EXPECT_EQ(genres[0].subGenres[1].folder, "Data\\Wa\\Ichi");
    EXPECT_FALSE(genres[0].subGenres[1].tile);
    EXPECT_FALSE(genres[0].subGenres[2].tile);
    ASSERT_EQ(genres[1].Folders().size(), 1u);
    EXPECT_EQ(genres[1].Folders()[0].folder, "Data\\Plain");
    EXPECT_FALSE(genres[1].Folders()[0].tile);

    EXPECT_EQ(DefaultBackgroundGenre(genres, "CD"), 0);
    EXPECT_EQ(DefaultBackgroundGenre(genres, "cdcover"), 0);
    EXPECT_EQ(DefaultBackgroundGenre(genres, "Label"), 2);
    EXPECT_EQ(DefaultBackgroundGenre(genres, "MOSquare"), 1);
    EXPECT_EQ(DefaultBackgroundGenre({}, "CD"), -1);
    EXPECT_TRUE(ReadBackgroundGenres(test::TestFolder() + "/missing.dat").empty());
}

TEST(BackgroundLibrary, TheShippedLibraryIsFoundBesideTheProgram)
{
    TAppFrame frame;
    frame.Macro().SetValue("ExeDir", QStringLiteral(KESTREL_BINARY_DIR "/src/"));
    const std::vector<TBackgroundGenre> genres = ReadBackgroundGenres(TAppFrame::FindDataFile(BackgroundGenreFile));
    ASSERT_EQ(genres.size(), 5u);
    EXPECT_EQ(DefaultBackgroundGenre(genres, "CD"), 0);
    EXPECT_EQ(DefaultBackgroundGenre(genres, "CDCaseTray"), 3);
    qsizetype pictures = 0, tiled = 0;
    for (const TBackgroundGenre& genre : genres)
        for (const TBackgroundFolder& folder : genre.Folders()) {
            const QStringList files = BackgroundPictures(LocateBackgroundFolder(folder.folder));
            EXPECT_FALSE(files.isEmpty()) << folder.folder.toStdString();
            pictures += files.size();
            tiled += folder.tile ? files.size() : 0;
        }
    EXPECT_GE(pictures, 40);
    EXPECT_EQ(tiled, 27);
    EXPECT_TRUE(LocateBackgroundFolder("Data\\BackGrnd\\Missing").isEmpty());
}

}  // namespace
}  // namespace kestrel
