#include "render/ColorSpecHistory.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>
#include <gtest/gtest.h>

#include "support/CfbTestSupport.h"
#include "platform/Error.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

std::unique_ptr<TColorSpec> Solid(TColor color)
{
    auto spec = std::make_unique<TColorSpec>();
    spec->SetColor(color);
    return spec;
}

struct THistoryFixture : ::testing::Test {
    TColorSpecHistory history;
    QString path = test::TestFolder() + "/prefs/sub/ColorSpec.hst";
    THistoryFixture() { history.SetFilename(path); }
};

TEST_F(THistoryFixture, AddsMostRecentFirstMovesHitsAndDropsBeyondTheLimit)
{
    EXPECT_EQ(history.Count(), 0);
    history.SetLimit(3);
    for (TColor c : {0x0000FF, 0x00FF00, 0xFF0000}) history.Add(*Solid(c));
    EXPECT_EQ(history.Count(), 3);
    TColorSpec read;
    history.Read(0, read);
    EXPECT_EQ(read.Color(), 0xFF0000);

    history.Add(*Solid(0x0000FF));  // a hit moves to the front
    EXPECT_EQ(history.Count(), 3);
    history.Read(0, read);
    EXPECT_EQ(read.Color(), 0x0000FF);
    history.Read(2, read);
    EXPECT_EQ(read.Color(), 0x00FF00);

    history.Add(*Solid(0x123456));
    EXPECT_EQ(history.Count(), 3);
    history.Read(2, read);
    EXPECT_EQ(read.Color(), 0xFF0000);  // the oldest went

    const QImage preview = history.Preview(0);
    ASSERT_EQ(preview.size(), QSize(48, 48));
    EXPECT_EQ(FromQColor(preview.pixelColor(24, 24)), 0x123456);
    EXPECT_TRUE(history.Preview(7).isNull());

    // olefile sees the layout: the name list, three entries and their previews.
    const test::TOleListing listing = test::ListWithOlefile(path);
    EXPECT_TRUE(listing.streams.contains("ColorSpec/NameList"));
    const QString key = TColorSpecHistory::Key(*Solid(0x123456), TColorSpecHistory::RenderPreview(*Solid(0x123456)));
    EXPECT_TRUE(listing.streams.contains("ColorSpec/" + key));
    EXPECT_TRUE(listing.streams.contains("Preview/" + key));
    EXPECT_EQ(listing.streams.size(), 7);

    history.Clear();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(history.Count(), 0);
}

TEST_F(THistoryFixture, GradationsAndPicturesRoundTripThroughTheFile)
{
    TColorSpec spec;
    spec.SetKind(cskGradation);
    spec.SetGradKind(rgkCircleToRim);
    spec.GradColors().SetStops({0x0000FF, 0x00FF00, 0xFF0000});
    spec.GradColors().SetRepeatCount(2);
    history.Add(spec);
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    TColorSpec pictureFill;
    pictureFill.SetKind(cskBitmap);
    pictureFill.SetPicture(picture);
    history.Add(pictureFill);

    TColorSpec read;
    history.Read(1, read);
    EXPECT_EQ(read.GradKind(), rgkCircleToRim);
    EXPECT_EQ(read.GradColors().Stops(), spec.GradColors().Stops());
    EXPECT_EQ(read.GradColors().RepeatCount(), 2);
    history.Read(0, read);
    EXPECT_EQ(read.Kind(), cskBitmap);
    EXPECT_EQ(read.Picture().convertToFormat(QImage::Format_RGB32), picture);
}

TEST_F(THistoryFixture, AKeyHitWithADifferentColourSpecKeepsBoth)
{
    // The key leaves the picture out: two plain red pictures of different sizes share it.
    QImage a(4, 4, QImage::Format_RGB32), b(8, 8, QImage::Format_RGB32);
    a.fill(Qt::red);
    b.fill(Qt::red);
    TColorSpec first, second;
    first.SetKind(cskBitmap);
    first.SetPicture(a);
    second.SetKind(cskBitmap);
    second.SetPicture(b);
    const QString key = TColorSpecHistory::Key(first, TColorSpecHistory::RenderPreview(first));
    ASSERT_EQ(key, TColorSpecHistory::Key(second, TColorSpecHistory::RenderPreview(second)));

    history.Add(first);
    history.Add(second);
    EXPECT_EQ(history.Count(), 2);
    history.Add(first);  // a true hit among the entries of the key
    EXPECT_EQ(history.Count(), 2);
    TColorSpec read;
    history.Read(0, read);
    EXPECT_EQ(read.Picture().size(), QSize(4, 4));
    history.Read(1, read);
    EXPECT_EQ(read.Picture().size(), QSize(8, 8));
    const test::TOleListing listing = test::ListWithOlefile(path);
    EXPECT_TRUE(listing.streams.contains("ColorSpec/" + key));
    EXPECT_TRUE(listing.streams.contains("ColorSpec/" + key + "-1"));
}

TEST_F(THistoryFixture, WritesReplaceTheFileInsteadOfRewritingIt)
{
    history.Add(*Solid(0x0000FF));
    // A second name for the old file keeps seeing the old content only if the write went to a
    // new file that was renamed over the target.
    const QString oldName = QFileInfo(path).absolutePath() + "/old.hst";
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(oldName).constData()), 0);
    history.Add(*Solid(0x00FF00));
    EXPECT_EQ(history.Count(), 2);
    TColorSpecHistory old;
    old.SetFilename(oldName);
    EXPECT_EQ(old.Count(), 1);
}

}  // namespace
}  // namespace kestrel
