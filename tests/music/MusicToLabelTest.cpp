// Albums as lines of text, the input items they fill, and the replace table.

#include <gtest/gtest.h>

#include "document/Capabilities.h"
#include "document/DOList.h"
#include "document/DOGroup.h"
#include "label/LabelData.h"
#include "label/LabelDocumentFixtures.h"
#include "music/LabelMusic.h"
#include "music/AlbumLines.h"
#include "music/Albums.h"
#include "music/InputItems.h"
#include "music/ReplaceTable.h"
#include "support/InputTextFixture.h"
#include "text/LOText.h"

namespace kestrel {
namespace {

TAlbumInfo NumberedAlbum(int tracks)
{
    TAlbumInfo album;
    album.SetTitle("Album");
    album.SetArtist("Band");
    for (int i = 1; i <= tracks; ++i) {
        TTrackInfo& track = album.Tracks().Add();
        track.SetTitle(QStringLiteral("Song%1").arg(i));
        track.SetArtist(QStringLiteral("P%1").arg(i));
        track.SetTime(QStringLiteral("%1:00").arg(i));
        track.SetAlbum(i % 2 ? "Odd" : "");
    }
    return album;
}

using test::TInputText;

TEST(AlbumLines, FieldsFollowFlagsOrderAndSeparator)
{
    TAlbumInfo album = NumberedAlbum(3);
    EXPECT_EQ(BuildAlbumLines(album), QStringList({"Album", "Band", "1.Song1 1:00 P1 Odd", "2.Song2 2:00 P2 ", "3.Song3 3:00 P3 Odd"}));

    TAlbumLineOptions options;
    options.flags = alNumber | alTitle;
    options.separator = "-";
    EXPECT_EQ(BuildAlbumLines(album, options).at(2), "3.Song3");

    album.Track(0).SetTitle("Title");
    album.Track(0).SetTime("");
    album.Track(0).SetArtist("Artist");
    options.flags = alTitle | alTime | alArtist;
    options.separator = "/";
    EXPECT_EQ(BuildAlbumLines(album, options).at(0), "Title//Artist");

    // The artist line is there even when empty; order 5 puts the time after the number.
    album.SetArtist("");
    options.flags = alAlbumArtist | alNumber | alTime | alArtist | alTitle;
    options.order = 5;
    options.separator = "\t";
    EXPECT_EQ(BuildAlbumLines(album, options).mid(0, 2), QStringList({"", "1.\tArtist\tTitle"}));
    EXPECT_EQ(TrackFieldOrders().size(), 6u);
    EXPECT_EQ(TrackFieldOrders()[1].fields, TrackFieldOrders()[4].fields);
}

struct TFace {
    std::vector<std::unique_ptr<TDrawObject>> owned;
    TDOList list;

    TInputText& Add(const QString& caption, const QStringList& text = {"x"}, bool enabled = true)
    {
        owned.push_back(std::make_unique<TInputText>(caption, text, enabled));
        list.Add(*owned.back());
        return static_cast<TInputText&>(*owned.back());
    }
};

std::vector<TInputItem> Fill(const TAlbumInfo& album, TFace& face)
{
    std::vector<TInputItem> items;
    CollectInputItems(0, face.list, items);
    FillInputItems(album, items);
    WriteInputItems(items);
    return items;
}

TEST(InputItems, SongItemsShareTheTrackLines)
{
    TFace face;
    TInputText& front = face.Add(QStringLiteral("曲名表"), {"a", "b"});
    TInputText& back = face.Add(QStringLiteral("曲名裏"), {"a", "b"});
    TInputText& title = face.Add(QStringLiteral("タイトル"));
    TInputText& artist = face.Add(QStringLiteral("アーティスト名"), {"two", "lines"});
    Fill(NumberedAlbum(5), face);
    // Split points (0 x 5 + 1) div 2 = 0, (1 x 5 + 1) div 2 = 3, (2 x 5 + 1) div 2 = 5.
    EXPECT_EQ(front.Text(), QStringList({"1.Song1 1:00 P1 Odd", "2.Song2 2:00 P2", "3.Song3 3:00 P3 Odd"}));
    EXPECT_EQ(back.Text(), QStringList({"4.Song4 4:00 P4", "5.Song5 5:00 P5 Odd"}));
    EXPECT_EQ(title.Text(), QStringList{"Album"});
    EXPECT_EQ(artist.Text(), QStringList{"Band"});
}

TEST(InputItems, SingleLineItemsTakeTheirRange)
{
    TFace face;
    TInputText& third = face.Add(QStringLiteral("曲名3"));
    TInputText& range = face.Add(QStringLiteral("曲名2～4"));
    TInputText& wide = face.Add(QStringLiteral("曲４"));
    TInputText& beyond = face.Add(QStringLiteral("曲名4～9"));
    TInputText& time = face.Add(QStringLiteral("演奏時間"));
    TInputText& times = face.Add(QStringLiteral("演奏時間1～2"));
    TInputText& albums = face.Add(QStringLiteral("アルバム名1～3"));
    TInputText& albumTitle = face.Add(QStringLiteral("アルバム名"));
    TInputText& artists = face.Add(QStringLiteral("演奏者2"));
    TInputText& all = face.Add(QStringLiteral("曲"));
    TInputText& other = face.Add(QStringLiteral("メモ"));
    TInputText& twice = face.Add(QStringLiteral("曲名3"));
    TInputText& off = face.Add(QStringLiteral("曲名1"), {"kept"}, false);
    const std::vector<TInputItem> items = Fill(NumberedAlbum(5), face);

    EXPECT_EQ(third.Text(), QStringList{"Song3"});
    EXPECT_EQ(twice.Text(), QStringList{"Song3"});  // one item for both objects
    EXPECT_EQ(range.Text(), QStringList{"Song2 Song3 Song4"});
    EXPECT_EQ(wide.Text(), QStringList{"Song4"});
    EXPECT_EQ(beyond.Text(), QStringList{"Song4 Song5"});
    EXPECT_EQ(time.Text(), QStringList{""});
    EXPECT_EQ(times.Text(), QStringList{"1:00 2:00"});
    EXPECT_EQ(albums.Text(), QStringList{"Song1 Song2 Song3"});  // a title group name: track titles
    EXPECT_EQ(albumTitle.Text(), QStringList{"Album"});
    EXPECT_EQ(artists.Text(), QStringList{"P2"});
    EXPECT_EQ(all.Text(), QStringList{"Song1 Song2 Song3 Song4 Song5"});
    EXPECT_EQ(other.Text(), QStringList{""});
    EXPECT_EQ(off.Text(), QStringList{"kept"});
    EXPECT_EQ(items.size(), 11u);
}

TEST(InputItems, AnAlbumWithoutTracksChangesNothingAndGroupsAreLookedInto)
{
    TFace face;
    TInputText& title = face.Add(QStringLiteral("タイトル"), {"typed"});
    Fill(TAlbumInfo(), face);
    EXPECT_EQ(title.Text(), QStringList{"typed"});

    auto member = std::make_unique<TInputText>(QStringLiteral("曲名1"), QStringList{"x"});
    TInputText& inside = *member;
    auto group = std::make_unique<TDOGroup>();
    group->AdoptChild(std::move(member));
    TFace grouped;
    grouped.owned.push_back(std::move(group));
    grouped.list.Add(*grouped.owned.back());
    Fill(NumberedAlbum(2), grouped);
    EXPECT_EQ(inside.Text(), QStringList{"Song1"});

    EXPECT_FALSE(ParseTrackRange("").Valid());
    EXPECT_FALSE(ParseTrackRange("x").Valid());
    EXPECT_EQ(ParseTrackRange(QStringLiteral("2〜4")).last, 4);
    EXPECT_EQ(ParseTrackRange(QStringLiteral("5～")).last, -1);
}

TEST(ReplaceTable, ReplacingGoesOnAfterWhatWasReplaced)
{
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa", true), "aaaaaa");
    EXPECT_EQ(ReplaceAll("abcabc", "bc", "", true), "aa");
    EXPECT_EQ(ReplaceAll("same", "", "x", true), "same");
    // Not strict: hiragana, katakana and case are the same; what is kept is the original.
    EXPECT_EQ(ReplaceAll(QStringLiteral("カタカナとかたかな, Abc ABC"), QStringLiteral("かたかな"), "K", false),
              QStringLiteral("KとK, Abc ABC"));
    EXPECT_EQ(ReplaceAll("Abc abc", "ABC", "x", false), "x x");
    EXPECT_EQ(ReplaceAll(QStringLiteral("カタカナ"), QStringLiteral("かたかな"), "K", true), QStringLiteral("カタカナ"));

    EXPECT_EQ(ConvertLines({"abc1", QStringLiteral("ｶﾞｷﾞ")}, TLineConversion::FullWidth),
              QStringList({QStringLiteral("ａｂｃ１"), QStringLiteral("ガギ")}));
    EXPECT_EQ(ConvertLines({QStringLiteral("ａｂ１")}, TLineConversion::HalfWidth), QStringList{"ab1"});
    EXPECT_EQ(ConvertLines({"aB"}, TLineConversion::UpperCase), QStringList{"AB"});
    EXPECT_EQ(ConvertLines({"aB"}, TLineConversion::LowerCase), QStringList{"ab"});
}

TEST(ReplaceTable, AlbumsGoThroughTheTableAndBack)
{
    TAlbumInfo album = NumberedAlbum(3);
    QStringList table = AlbumToTable(album);
    EXPECT_EQ(table.mid(0, 3), QStringList({"Album", "Band", "Song1\t1:00\tP1\tOdd"}));
    table[0] = "New";
    table[2] = "T1\t\tA1";         // an empty time between two tabs counts; the album is kept
    table[4] = "T3\t9:99\tA3\t";  // an empty last field counts too
    TableToAlbum(table, album);
    EXPECT_EQ(album.Title(), "New");
    EXPECT_EQ(album.Artist(), "Band");
    EXPECT_EQ(album.Track(0).Time(), "");
    EXPECT_EQ(album.Track(0).Artist(), "A1");
    EXPECT_EQ(album.Track(0).Album(), "Odd");
    EXPECT_EQ(album.Track(1).Title(), "Song2");
    EXPECT_EQ(album.Track(2).Time(), "9:99");
    EXPECT_EQ(album.Track(2).Album(), "");

    // Fewer lines than tracks: the tracks without a line keep all they had.
    TableToAlbum({"Only", "Title"}, album);
    EXPECT_EQ(album.Track(0).Title(), "T1");
}

// Until the wizard text is there, a text read from a document asks for input under the caption
// its first line gives after "@".
class TNamedInputText : public TLOText, public IDOWizardInput {
public:
    bool InputEnabled() const override { return !Text().isEmpty() && Text().first().startsWith(u'@'); }
    void SetInputEnabled(bool) override {}
    QString InputCaption() const override { return InputEnabled() ? Text().first().mid(1) : QString(); }
    void SetInputCaption(const QString&) override {}
};

class NamedInputTexts : public ::testing::Test {
protected:
    NamedInputTexts()
    {
        document.SetClassSubstitute([](const QByteArray& name) -> std::unique_ptr<TComponent> {
            if (name == "TLOText") return std::make_unique<TNamedInputText>();
            return nullptr;
        });
    }

    static void SaveFace(TLabelData& document, int face, const std::vector<std::pair<QString, QStringList>>& texts)
    {
        std::vector<std::unique_ptr<TLOText>> owned;
        TDOList list;
        for (const auto& [caption, lines] : texts) {
            owned.push_back(std::make_unique<TLOText>());
            owned.back()->SetText(caption.isEmpty() ? lines : QStringList{"@" + caption} + lines.mid(1));
            owned.back()->SetBounds({0, 0, 500, 300});
            list.Add(*owned.back());
        }
        document.SaveFaceObjects(face, list);
    }

    static QList<QStringList> FaceTexts(TLabelData& document, int face)
    {
        TDOList objects;
        document.LoadFaceObjects(face, objects);
        QList<QStringList> texts;
        for (TDrawObject* object : objects.Items()) texts << dynamic_cast<TLOText&>(*object).Text();
        return texts;
    }

    TLabelData document;
};

TEST_F(NamedInputTexts, TheFacesOfASheetShareTheirItems)
{
    document.SetPaper(*test::TwoDiscPaper());
    document.SetSeparatelyDesign(true);
    SaveFace(document, 0, {{QStringLiteral("タイトル"), {"x"}}, {QStringLiteral("曲名"), {"a", "b"}}, {"", {"free"}}});
    SaveFace(document, 1, {{QStringLiteral("曲名"), {"a", "b"}}, {QStringLiteral("曲名1～2"), {"x"}}});
    EXPECT_EQ(DesignedFaces(document), (std::vector<int>{0, 1}));
    EXPECT_EQ(FillDocumentInputItems(document, DesignedFaces(document), NumberedAlbum(3)), 3);

    const QList<QStringList> front = FaceTexts(document, 0);
    ASSERT_EQ(front.size(), 3);
    EXPECT_TRUE(front.contains(QStringList{"Album"}));
    EXPECT_TRUE(front.contains(QStringList{"free"}));
    // The songs item of two faces holds the first half of the lines once for both.
    const QStringList firstHalf = {"1.Song1 1:00 P1 Odd", "2.Song2 2:00 P2"};
    EXPECT_TRUE(front.contains(firstHalf));
    const QList<QStringList> back = FaceTexts(document, 1);
    EXPECT_TRUE(back.contains(firstHalf));
    EXPECT_TRUE(back.contains(QStringList{"Song1 Song2"}));

    // One face alone; faces that share one design are face 0.
    EXPECT_EQ(DesignedFaces(document, 1), std::vector<int>{1});
    document.SetSeparatelyDesign(false);
    EXPECT_EQ(DesignedFaces(document), std::vector<int>{0});
    EXPECT_EQ(FillDocumentInputItems(document, {0}, TAlbumInfo()), 0);

    WriteLinesToText(document, 0, 2, MusicLines(NumberedAlbum(1)));
    EXPECT_TRUE(FaceTexts(document, 0).contains(QStringList({"Album", "Band", "1.Song1 1:00 P1 Odd"})));
    EXPECT_THROW(WriteLinesToText(document, 0, 3, {}), EKestrel);
}

}  // namespace
}  // namespace kestrel
