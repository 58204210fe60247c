// Checks the stream format against Free Pascal's own component streaming, an implementation
// written independently of ours.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "StreamTestClasses.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "support/FpcStreamCheck.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

using test::TTestItem;
using test::TTestRect;

// Mirrors the TFpcThing class of the Pascal helper.
class TFpcThing : public TComponent {
    KESTREL_PERSISTENT()
public:
    TFpcThing() : items_([] { return std::make_unique<TTestItem>(); }) {}
    int Count() const { return count_; }
    void SetCount(int v) { count_ = v; }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v) { caption_ = v; }
    int Options() const { return options_; }
    void SetOptions(int v) { options_ = v; }
    test::TTestStyle Style() const { return style_; }
    void SetStyle(test::TTestStyle v) { style_ = v; }
    QStringList Lines() const { return lines_; }
    void SetLines(const QStringList& v) { lines_ = v; }
    TCollection* Items() { return &items_; }

private:
    int count_ = 0;
    QString caption_;
    int options_ = 0;
    test::TTestStyle style_ = test::tsPlain;
    QStringList lines_;
    TCollection items_;
};

const TClassInfo& TFpcThing::StaticClass()
{
    static const TClassInfo info("TFpcThing", &TComponent::StaticClass(), FactoryOf<TFpcThing>(), [] {
        return TPropsOf<TFpcThing>()
            .Int("Count", &TFpcThing::Count, &TFpcThing::SetCount, NoDefault)
            .String("Caption", &TFpcThing::Caption, &TFpcThing::SetCaption)
            .Set("Options", test::TestOptionInfo(), &TFpcThing::Options, &TFpcThing::SetOptions)
            .Enum("Style", test::TestStyleInfo(), &TFpcThing::Style, &TFpcThing::SetStyle)
            .Strings("Lines", &TFpcThing::Lines, &TFpcThing::SetLines)
            .Collection("Items", &TFpcThing::Items)
            .Done();
    });
    return info;
}

TEST(FpcCheck, FreePascalReadsOurStreamAsTheExpectedText)
{
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());

    TTestRect rect;
    rect.SetName(QStringLiteral("Label1"));
    rect.SetLeft(10);
    rect.SetTop(20);
    rect.SetWidth(100);
    rect.SetHeight(200);
    rect.SetColor(0x0000FF);
    rect.SetCursor(-21);
    rect.SetRatio(1.5);
    rect.SetLines({QStringLiteral("one"), QStringLiteral("two")});
    rect.SetOptions(0b101);
    auto& item = static_cast<TTestItem&>(rect.Items()->Add());
    item.SetValue(5);
    item.SetCaption(QStringLiteral("first"));
    static_cast<TTestItem&>(rect.Items()->Add()).SetValue(-129);
    rect.data = QByteArray("\x01\x02\xAB", 3);
    auto child = std::make_unique<TTestRect>();
    child->SetName(QStringLiteral("Inner"));
    child->SetBlendRatio(50);
    rect.children.push_back(std::move(child));

    QByteArray bytes;
    WriteObject(bytes, rect);
    const QString file = test::TestFolder() + QStringLiteral("/ours.bin");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    const QByteArray expected =
        "object Label1: TTestRect\n"
        "  Left = 10\n"
        "  Top = 20\n"
        "  Width = 100\n"
        "  Height = 200\n"
        "  Cursor = crHandPoint\n"
        "  Color = clRed\n"
        "  Options = [toFirst, toThird]\n"
        "  Ratio =  1.50000000000000000000E+0000\n"
        "  Lines.Strings = (\n"
        "    'one'\n"
        "    'two'\n"
        "  )\n"
        "  Items = <  \n"
        "    item\n"
        "      Value = 5\n"
        "      Caption = 'first'\n"
        "    end  \n"
        "    item\n"
        "      Value = -129\n"
        "    end>\n"
        "  Data = {\n"
        "    0102AB\n"
        "  }\n"
        "  object Inner: TTestRect\n"
        "    Left = 0\n"
        "    Top = 0\n"
        "    Width = 0\n"
        "    Height = 0\n"
        "    BlendRatio = 50\n"
        "    Items = <>\n"
        "  end\n"
        "end\n";
    EXPECT_EQ(test::RunFpcStreamCheck(helper, QStringLiteral("totext"), file).toStdString(), expected.toStdString());
}

TEST(FpcCheck, WeReadWhatFreePascalWrites)
{
    const QString helper = test::BuildFpcStreamCheck();
    ASSERT_FALSE(helper.isEmpty());
    const QString file = test::TestFolder() + QStringLiteral("/theirs.bin");
    test::RunFpcStreamCheck(helper, QStringLiteral("write"), file);
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();

    TClassRegistry registry;
    registry.Register(TFpcThing::StaticClass());
    TReadOptions options;
    options.registry = &registry;
    TBoundedReader reader(bytes);
    std::unique_ptr<TComponent> object = ReadObject(reader, options);
    auto* thing = dynamic_cast<TFpcThing*>(object.get());
    ASSERT_NE(thing, nullptr);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(thing->Name(), QStringLiteral("Thing1"));
    EXPECT_EQ(thing->Count(), 40000);
    EXPECT_EQ(thing->Caption(), QStringLiteral("Hello"));
    EXPECT_EQ(thing->Options(), 0b101);
    EXPECT_EQ(thing->Style(), test::tsItalic);
    EXPECT_EQ(thing->Lines(), QStringList({QStringLiteral("one"), QStringLiteral("two")}));
    ASSERT_EQ(thing->Items()->Count(), 2);
    const auto& first = static_cast<const TTestItem&>(thing->Items()->Item(0));
    EXPECT_EQ(first.Value(), -129);
    EXPECT_EQ(first.Caption(), QStringLiteral("first表"));
    EXPECT_EQ(static_cast<const TTestItem&>(thing->Items()->Item(1)).Value(), 7);
}

}  // namespace
}  // namespace kestrel
