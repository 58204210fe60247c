#include "text/ShadeText.h"

#include <QFile>
#include <gtest/gtest.h>

#include "document/ObjectKinds.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "imaging/BlendedPainting.h"
#include "platform/BoundedReader.h"
#include "platform/Canvas.h"
#include "support/FpcStreamCheck.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

QByteArray StreamOf(const TComponent& object)
{
    QByteArray out;
    WriteObject(out, object);
    return out;
}

std::unique_ptr<TComponent> ReadAny(const QByteArray& bytes)
{
    TBoundedReader in(bytes);
    return ReadObject(in);
}

TEST(TextFamily, OlderTextClassesReadIntoTheTextClassAndWriteBackAsTLOText)
{
    TLOShadeText shade;
    shade.SetBounds({10, 20, 610, 220});
    shade.SetText({QStringLiteral("タイトル")});
    shade.SetWizInputEnable(true);
    shade.SetWizInputCaption(QStringLiteral("アーティスト名"));
    shade.SetShadeShadowEnable(true);
    shade.SetShadeShadowSize(7);
    shade.SetShadeShadowBold(true);
    TLOWizardText wizard;
    wizard.SetText({QStringLiteral("曲名1")});
    wizard.SetWizInputEnable(true);
    wizard.SetWizInputCaption(QStringLiteral("曲名1"));

    for (const TComponent* original : std::initializer_list<const TComponent*>{&shade, &wizard}) {
        const QByteArray stream = StreamOf(*original);
        ASSERT_TRUE(stream.contains(original->ClassName())) << "the older class name is what the stream holds";
        const std::unique_ptr<TComponent> read = ReadAny(stream);
        ASSERT_TRUE(read);
        auto* text = dynamic_cast<TLOTextObject*>(read.get());
        ASSERT_TRUE(text) << original->ClassName().toStdString() << " reads into the run-time text class";
        const auto& source = dynamic_cast<const TLOWizardText&>(*original);
        EXPECT_EQ(text->Text(), source.Text());
        EXPECT_TRUE(text->InputEnabled());
        EXPECT_EQ(text->InputCaption(), source.WizInputCaption());
        const auto* sourceShade = dynamic_cast<const TLOShadeText*>(original);
        EXPECT_EQ(text->ShadeShadowEnable(), sourceShade && sourceShade->ShadeShadowEnable());
        EXPECT_EQ(text->ShadeShadowSize(), sourceShade ? sourceShade->ShadeShadowSize() : 0);
        EXPECT_EQ(text->ShadeShadowBold(), sourceShade && sourceShade->ShadeShadowBold());

        const QByteArray written = StreamOf(*text);
        EXPECT_EQ(text->ClassName(), "TLOText");
        EXPECT_FALSE(written.contains(original->ClassName()));
        for (const char* name : {"wizInputEnable", "wizInputCaption"}) EXPECT_TRUE(written.contains(name)) << name;
        EXPECT_EQ(written.contains("ShadeShadowBold"), sourceShade != nullptr);
        // Written again, it reads back to the same stream.
        EXPECT_EQ(StreamOf(*ReadAny(written)), written);
    }
}

TEST(TextFamily, EveryTextKindNameCreatesTheRunTimeClass)
{
    for (const char* name : {"TLOText", "TLOWizardText", "TLOShadeText", "TLOTextPaste"}) {
        if (QByteArrayView(name) == "TLOTextPaste") continue;  // reads the clipboard
        const std::unique_ptr<TDrawObject> object = TObjectKinds::Global().NewObject(name);
        EXPECT_TRUE(dynamic_cast<TLOTextObject*>(object.get())) << name;
        const TClassInfo* info = TClassRegistry::Global().Find(name);
        ASSERT_TRUE(info);
        EXPECT_EQ(info, &TLOTextObject::StaticClass()) << name;
    }
    EXPECT_TRUE(TObjectKinds::Global().Find("TLOTextPaste"));
}

TEST(TextFamily, FreePascalReadsWizardAndShadeStreams)
{
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());
    TLOShadeText shade;
    shade.SetBounds({0, 0, 400, 100});
    shade.SetText({QStringLiteral("Title")});
    shade.SetWizInputEnable(true);
    shade.SetWizInputCaption(QStringLiteral("タイトル"));
    shade.SetShadeShadowEnable(true);
    shade.SetShadeShadowSize(5);
    const QString file = test::TestFolder() + QStringLiteral("/shade.bin");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(StreamOf(shade));
    out.close();
    const QString dump = QString::fromUtf8(test::RunFpcStreamCheck(helper, QStringLiteral("totext"), file));
    for (const char* line : {"object TLOShadeText", "wizInputEnable = True", "ShadeShadowEnable = True", "ShadeShadowSize = 5"})
        EXPECT_TRUE(dump.contains(QLatin1String(line))) << line << "\n" << dump.toStdString();
}

TEST(ShadeText, SoftShadowDisplacementGrowsByATenthOfTheLineHeight)
{
    TLOTextObject text;
    text.SetBounds({0, 0, 600, 200});
    text.SetText({QStringLiteral("Abc")});
    const int h = text.Layout().LineHeight();
    const int a = int(std::lround(h * 0.1));
    ASSERT_GT(a, 0);
    EXPECT_EQ(text.ShadowDisplacement(), QPoint(0, 0));
    text.SetShadeShadowEnable(true);
    EXPECT_EQ(text.ShadowDisplacement(), QPoint(0, a)) << "a soft shadow without offsets lies below the text";

    text.SetShadowOffsetX(7);
    text.SetShadowOffsetY(0);
    EXPECT_EQ(text.ShadowDisplacement(), QPoint(int(std::lround(h * 0.07)) + a, a));
    text.SetShadowOffsetX(-5);
    text.SetShadowOffsetY(-5);
    EXPECT_EQ(text.ShadowDisplacement(), QPoint(-int(std::lround(h * 0.05)) - a, -int(std::lround(h * 0.05)) - a));
    text.SetShadeShadowEnable(false);
    EXPECT_EQ(text.ShadowDisplacement(), QPoint(-int(std::lround(h * 0.05)), -int(std::lround(h * 0.05))));
}

TEST(ShadeText, ASoftShadowGoesThroughBlendingAndItsEdgeIsARampBelowTheText)
{
    InstallBlendedPainting();
    TLOTextObject text;
    text.SetBounds({100, 100, 700, 400});
    text.SetText({QStringLiteral("■")});
    text.EditFont().SetSize(60);
    text.EditTextColor().SetColor(clRed);
    text.EditShadowColor().SetColor(clBlack);
    EXPECT_FALSE(text.NeedsBlend());
    text.SetShadeShadowEnable(true);
    EXPECT_TRUE(text.NeedsBlend());
    const int a = text.ShadowDisplacement().y();
    ASSERT_GT(a, 10);

    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas(image);
        canvas.SetFontResolution(LogicalUnitsPerInch);
        text.PaintTo(canvas);
    }
    // Find the square's bottom edge in its middle column, then walk down through the shadow.
    const TRect ink = text.Layout().GetTextBounds(text.Rect());
    const int x = (ink.left + ink.right) / 2;
    int bottom = -1;
    for (int y = 100; y < 600; ++y)
        if (image.pixel(x, y) == qRgb(255, 0, 0)) bottom = y;
    ASSERT_GT(bottom, 0);
    std::vector<int> greys;
    for (int y = bottom + 1; y < std::min(600, bottom + 3 * a); ++y) greys.push_back(qGreen(image.pixel(x, y)));
    ASSERT_FALSE(greys.empty());
    int steps = 0;
    for (size_t k = 1; k < greys.size(); ++k) {
        EXPECT_GE(greys[k] + 2, greys[k - 1]) << "the shadow lightens steadily going away from the text";
        if (greys[k] != greys[k - 1]) ++steps;
    }
    EXPECT_LT(greys.front(), 128) << "right below the text the shadow is dark";
    EXPECT_GT(greys.back(), 200) << "it fades out a little more than a displacement further down";
    EXPECT_GT(steps, 5) << "a ramp, not a hard edge";
    // Nowhere outside the shadow does the shadow colour fill the bounds.
    EXPECT_EQ(image.pixel(105, 105), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace kestrel
