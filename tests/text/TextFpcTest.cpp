// Free Pascal's ObjectBinaryToText reads the streams of text objects.

#include <gtest/gtest.h>

#include <QFile>

#include "document/stream/ObjectStream.h"
#include "support/FpcStreamCheck.h"
#include "support/TestEnvironment.h"
#include "text/LOText.h"

namespace kestrel {
namespace {

TEST(TextFpc, FreePascalReadsATextObjectWithEverySetting)
{
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());
    TLOText text;
    text.SetBounds({10, 20, 410, 220});
    text.SetText({QStringLiteral("Title"), QStringLiteral("曲名")});
    text.EditFont().SetStyleFlag(fsItalic, true);
    text.SetCoonsDistortion(TCoonsDistortion::Identity());
    text.SetShadowOffsetX(3);
    text.SetOutline(true);
    text.SetOutLineWidth(4);
    text.SetFieldType(ftCreatorJapanese);
    QByteArray bytes;
    WriteObject(bytes, text);
    const QString file = test::TestFolder() + QStringLiteral("/text.bin");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    const QString dump = QString::fromLatin1(test::RunFpcStreamCheck(helper, QStringLiteral("totext"), file));
    for (const char* line : {"Version = 1", "Text.Strings = (", "Font.Charset = SHIFTJIS_CHARSET", "Font.Size = 24",
                             "Font.Style = [fsItalic]", "CoonsDistortion.Data = {", "ShadowOffsetX = 3",
                             "OutLineWidth = 4", "FieldType = ftCreatorJapanese", "Angle = 0"})
        EXPECT_TRUE(dump.contains(QLatin1String(line))) << line << "\n" << dump.toStdString();
    EXPECT_FALSE(dump.contains(QLatin1String("Font.Height")));
    EXPECT_FALSE(dump.contains(QLatin1String("DiagonalAlign")));
}

}  // namespace
}  // namespace kestrel
