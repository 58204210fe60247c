#include "text/LODate.h"

#include <gtest/gtest.h>

#include "document/ObjectKinds.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"

namespace kestrel {
namespace {

// 5 May 2005 and 1 May 2019 in days since 30 December 1899.
constexpr TDateTime May5th2005 = 38477;
constexpr TDateTime May1st2019 = 43586;

TEST(LODate, AFormatAndADateMakeTheLines)
{
    TLODate date;
    date.SetDate(May5th2005);
    EXPECT_TRUE(date.Text().isEmpty()) << "an empty format gives an empty text";
    date.SetFormat(DateFormatChoices().at(29));
    EXPECT_EQ(date.Text(), QStringList{QStringLiteral("May 5,2005")});
    date.SetFormat(QStringLiteral("ggge\"年\"m\"月\"d\"日\""));
    date.SetDate(May1st2019);
    EXPECT_EQ(date.Text(), QStringList{QStringLiteral("令和元年5月1日")});
    date.SetFormat(QStringLiteral("yyyy\"\n\"m\"/\"d"));
    EXPECT_EQ(date.Text(), (QStringList{QStringLiteral("2019"), QStringLiteral("5/1")}));
}

TEST(LODate, AFormatWithABrokenMacroShowsNothingInsteadOfFailing)
{
    TLODate date;
    date.SetDate(May5th2005);
    date.SetFormat(QStringLiteral("yyyy"));
    ASSERT_EQ(date.Text(), QStringList{QStringLiteral("2005")});
    EXPECT_NO_THROW(date.SetFormat(QStringLiteral("$(ShortMonthA d")));
    EXPECT_TRUE(date.Text().isEmpty());
    EXPECT_NO_THROW(date.SetFormat(QStringLiteral("$(NoSuchMonth) d")));
    EXPECT_TRUE(date.Text().isEmpty());
}

TEST(LODate, TheUpdateChoiceDecidesWhichDocumentDateIsShown)
{
    const TDocumentDates dates{44000, 44100, 44200};
    const std::pair<TDateUpdateFlag, TDateTime> cases[] = {
        {dufNo, May5th2005}, {dufOpen, 44000}, {dufPrint, 44100}, {dufSave, 44200}};
    for (auto [flag, shown] : cases) {
        TLODate date;
        date.SetFormat(QStringLiteral("yyyy/mm/dd"));
        date.SetDate(May5th2005);
        date.SetUpdateFlag(flag);
        date.ShowDocumentDates(dates);
        EXPECT_EQ(date.Date(), shown) << DateUpdateFlagInfo().names[flag].toStdString();
    }
    TLODate neverPrinted;
    neverPrinted.SetDate(May5th2005);
    neverPrinted.SetUpdateFlag(dufPrint);
    neverPrinted.ShowDocumentDates({44000, 0, 0});
    EXPECT_EQ(neverPrinted.Date(), May5th2005) << "a document never printed keeps the stored date";
    EXPECT_EQ(DateUpdateCaptions().at(dufSave), QStringLiteral("保存時に更新する"));
}

TEST(LODate, StreamsKeepFormatDateAndUpdateChoice)
{
    TLODate date;
    date.SetBounds({0, 0, 500, 100});
    date.SetFormat(DateFormatChoices().at(2));
    date.SetDate(May1st2019 + 0.5);
    date.SetUpdateFlag(dufSave);
    QByteArray bytes;
    WriteObject(bytes, date);
    EXPECT_TRUE(bytes.contains("TLODate"));
    TBoundedReader in(bytes);
    const std::unique_ptr<TComponent> read = ReadObject(in);
    const auto* copy = dynamic_cast<const TLODate*>(read.get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Format(), date.Format());
    EXPECT_EQ(copy->Date(), date.Date());
    EXPECT_EQ(copy->UpdateFlag(), dufSave);
    EXPECT_EQ(copy->Text(), QStringList{QStringLiteral("令和元年5月1日")});

    TLODate plain;
    QByteArray none;
    WriteObject(none, plain);
    EXPECT_FALSE(none.contains("Format")) << "an empty format is left out";
    EXPECT_TRUE(none.contains("UpdateFlag")) << "the update choice is always written";
}

TEST(LODate, ItsKindIsDescribedInItsPropertyScreenFirst)
{
    const std::unique_ptr<TDrawObject> object = TObjectKinds::Global().NewObject("TLODate");
    ASSERT_TRUE(dynamic_cast<TLODate*>(object.get()));
    EXPECT_TRUE(TObjectKinds::Global().Find("TLODate")->editorFirst);
}

}  // namespace
}  // namespace kestrel
