// Free Pascal's ObjectBinaryToText reads the streams of dates, decorated strings and backgrounds.

#include <gtest/gtest.h>

#include <QFile>

#include "document/stream/ObjectStream.h"
#include "objects/BackImage.h"
#include "objects/LODecoString.h"
#include "support/FpcStreamCheck.h"
#include "support/TestEnvironment.h"
#include "text/LODate.h"

namespace kestrel {
namespace {

QString DumpThroughFreePascal(const QString& helper, const TComponent& object, const QString& name)
{
    QByteArray bytes;
    WriteObject(bytes, object);
    const QString file = test::TestFolder() + u'/' + name;
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    return QString::fromUtf8(test::RunFpcStreamCheck(helper, QStringLiteral("totext"), file));
}

TEST(DesignFpc, FreePascalReadsDatesDecoratedStringsAndBackgrounds)
{
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());

    TLODate date;
    date.SetBounds({0, 0, 500, 100});
    date.SetFormat(QStringLiteral("yyyy/mm/dd"));
    date.SetDate(38477.5);
    date.SetUpdateFlag(dufPrint);
    const QString dateDump = DumpThroughFreePascal(helper, date, QStringLiteral("date.bin"));
    for (const char* line : {"object TLODate", "Format = 'yyyy/mm/dd'", "Date =  3.84775", "UpdateFlag = dufPrint"})
        EXPECT_TRUE(dateDump.contains(QLatin1String(line))) << line << "\n" << dateDump.toStdString();

    TLODecoString string;
    string.SetText(QStringLiteral("Rock!"));
    string.SetFontNo(4);
    string.SetBounds({0, 0, 400, 100});
    string.SetAngle(15);
    const QString stringDump = DumpThroughFreePascal(helper, string, QStringLiteral("deco.bin"));
    for (const char* line : {"object TLODecoString", "Text = 'Rock!'", "FontNo = 4", "Angle = 15"})
        EXPECT_TRUE(stringDump.contains(QLatin1String(line))) << line << "\n" << stringDump.toStdString();

    TLOBackImage2004 background;
    background.SetBounds({0, 0, 1190, 1190});
    background.SetFrameWidth(30);
    background.FillBackImage().SetReverseVert(true);
    const QString backgroundDump = DumpThroughFreePascal(helper, background, QStringLiteral("back.bin"));
    for (const char* line : {"object TLOBackImage2004", "FrameWidth = 30", "FillBackImage.RotateImage = rsNone",
                             "FillBackImage.ReverseVert = True", "FrameBackImage.PosArrange = paTile"})
        EXPECT_TRUE(backgroundDump.contains(QLatin1String(line))) << line << "\n" << backgroundDump.toStdString();
}

}  // namespace
}  // namespace kestrel
