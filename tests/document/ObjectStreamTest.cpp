#include <gtest/gtest.h>

#include "StreamTestClasses.h"
#include "document/stream/ClassRegistry.h"
#include "document/stream/ObjectStream.h"
#include "platform/BoundedReader.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

using test::TTestItem;
using test::TTestOther;
using test::TTestRect;

const QString ReadErrorText = QStringLiteral("ストリームからの読み込みエラー");
const QString FormatErrorText = QStringLiteral("不正なストリーム フォーマット");
const QString ValueErrorText = QStringLiteral("不正なプロパティの値です");
const QString NoPropertyText = QStringLiteral("プロパティが存在しません");
const QString PathErrorText = QStringLiteral("不正なプロパティのパスです");

const QByteArray End2(2, '\0');  // end of properties and of children

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}
bool Contains(const QByteArray& haystack, const QByteArray& needle)
{
    return haystack.contains(needle);
}
QByteArray Str(QByteArrayView s)
{
    return char(s.size()) + s.toByteArray();
}

const TClassRegistry& Registry()
{
    static const TClassRegistry registry = [] {
        TClassRegistry r;
        r.Register(TTestRect::StaticClass());
        r.Register(TTestOther::StaticClass());
        return r;
    }();
    return registry;
}

TReadOptions Options()
{
    TReadOptions options;
    options.registry = &Registry();
    return options;
}

QByteArray Stream(const TComponent& object)
{
    QByteArray out;
    WriteObject(out, object);
    return out;
}

std::unique_ptr<TTestRect> ReadRect(const QByteArray& bytes, const TReadOptions& options = Options())
{
    TBoundedReader in(bytes);
    std::unique_ptr<TComponent> object = ReadObject(in, options);
    EXPECT_TRUE(in.AtEnd());
    auto* rect = dynamic_cast<TTestRect*>(object.get());
    if (!rect) return nullptr;
    object.release();
    return std::unique_ptr<TTestRect>(rect);
}

// The error reading the bytes raises: its reason, or with message the whole message that also
// says where it happened.
QString ReadFailure(const QByteArray& bytes, bool message = false)
{
    TBoundedReader in(bytes);
    try {
        ReadObject(in, Options());
    } catch (const EReadError& e) {
        return message ? e.Message() : e.Reason();
    }
    return QStringLiteral("(no error)");
}

// A TTestRect stream whose property section is the given records.
QByteArray RectWith(const QByteArray& records, const QByteArray& children = {})
{
    return "TPF0" + Str("TTestRect") + Str("") + records + '\0' + children + '\0';
}

std::unique_ptr<TTestRect> Rect(int left, int top, int width, int height)
{
    auto rect = std::make_unique<TTestRect>();
    rect->SetLeft(left);
    rect->SetTop(top);
    rect->SetWidth(width);
    rect->SetHeight(height);
    return rect;
}

TEST(ObjectStream, NodefaultPropertiesAreAlwaysWrittenAndDefaultsOmitted)
{
    const QByteArray tail = Str("Items") + Hex("0e00") + '\0' + '\0';
    EXPECT_EQ(Stream(*Rect(10, 20, 100, 200)), "TPF0" + Str("TTestRect") + Str("") + Str("Left") +
                                                   Hex("020a") + Str("Top") + Hex("0214") + Str("Width") +
                                                   Hex("0264") + Str("Height") + Hex("03c800") + tail);
    EXPECT_EQ(Stream(*Rect(0, 0, 0, 0)), "TPF0" + Str("TTestRect") + Str("") + Str("Left") + Hex("0200") +
                                             Str("Top") + Hex("0200") + Str("Width") + Hex("0200") +
                                             Str("Height") + Hex("0200") + tail);

    auto rect = Rect(0, 0, 0, 0);
    rect->SetBlendRatio(50);
    rect->SetVisible(false);
    rect->SetTag(-129);
    const QByteArray bytes = Stream(*rect);
    EXPECT_TRUE(Contains(bytes, Str("BlendRatio") + Hex("0232")));
    EXPECT_TRUE(Contains(bytes, Str("Visible") + Hex("08")));
    EXPECT_TRUE(Contains(bytes, Str("Tag") + Hex("037fff")));
    EXPECT_EQ(bytes.indexOf("Tag"), 16);  // inherited properties come first
}

TEST(ObjectStream, ColoursAndCursorsUseTheirIdentifiers)
{
    auto rect = Rect(0, 0, 0, 0);
    rect->SetColor(0x0000FF);
    rect->SetCursor(-21);
    EXPECT_TRUE(Contains(Stream(*rect), Str("Color") + "\x07" + Str("clRed")));
    EXPECT_TRUE(Contains(Stream(*rect), Str("Cursor") + "\x07" + Str("crHandPoint")));
    rect->SetColor(0x0000FE);
    rect->SetCursor(-5);
    EXPECT_TRUE(Contains(Stream(*rect), Str("Color") + Hex("03fe00")));
    EXPECT_TRUE(Contains(Stream(*rect), Str("Cursor") + Hex("02fb")));
    rect->SetColor(static_cast<int>(0x80000005u));
    EXPECT_TRUE(Contains(Stream(*rect), Str("Color") + "\x07" + Str("clWindow")));
    EXPECT_EQ(ReadRect(Stream(*rect))->Color(), static_cast<int>(0x80000005u));

    EXPECT_EQ(ReadRect(RectWith(Str("Color") + "\x07" + Str("CLAQUA")))->Color(), 0xFFFF00);
    EXPECT_EQ(ReadRect(RectWith(Str("Color") + Hex("04fe000000")))->Color(), 0xFE);
    EXPECT_EQ(ReadRect(RectWith(Str("Color") + "\x07" + Str("clNone")))->Color(), 0x1FFFFFFF);
    EXPECT_EQ(ReadRect(RectWith(Str("Cursor") + "\x07" + Str("crSize")))->Cursor(), -22);
    EXPECT_EQ(ReadRect(RectWith(Str("Cursor") + "\x07" + Str("crSizeAll")))->Cursor(), -22);
    EXPECT_EQ(ReadFailure(RectWith(Str("Color") + "\x07" + Str("clPink"))), ValueErrorText);
}

TEST(ObjectStream, StringListIsOneStringsRecordOmittedWhenEmpty)
{
    auto rect = Rect(0, 0, 0, 0);
    EXPECT_FALSE(Contains(Stream(*rect), "Lines"));
    rect->SetLines({QStringLiteral("a")});
    EXPECT_TRUE(Contains(Stream(*rect), Str("Lines.Strings") + Hex("01") + Hex("060161") + Hex("00")));
    rect->SetLines({QStringLiteral("一行目"), QString(), QString(300, 'z')});
    EXPECT_EQ(ReadRect(Stream(*rect))->Lines(), rect->Lines());
    EXPECT_EQ(ReadFailure(RectWith(Str("Lines.Text") + Hex("0100"))), NoPropertyText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Lines") + Hex("0100"))), ValueErrorText);
}

TEST(ObjectStream, SetsEnumerationsAndCollections)
{
    auto rect = Rect(0, 0, 0, 0);
    rect->SetOptions(0b101);
    rect->SetStyle(test::tsItalic);
    auto& first = static_cast<TTestItem&>(rect->Items()->Add());
    first.SetValue(5);
    first.SetCaption(QStringLiteral("最初"));
    static_cast<TTestItem&>(rect->Items()->Add()).SetValue(-1);
    const QByteArray bytes = Stream(*rect);
    EXPECT_TRUE(Contains(bytes, Str("Options") + "\x0b" + Str("toFirst") + Str("toThird") + '\0'));
    EXPECT_TRUE(Contains(bytes, Str("Style") + "\x07" + Str("tsItalic")));
    EXPECT_TRUE(Contains(bytes, Str("Items") + "\x0e\x01" + Str("Value") + Hex("0205") + Str("Caption")));

    auto back = ReadRect(bytes);
    EXPECT_EQ(back->Options(), 0b101);
    EXPECT_EQ(back->Style(), test::tsItalic);
    ASSERT_EQ(back->ItemList().Count(), 2);
    EXPECT_EQ(static_cast<TTestItem&>(back->ItemList().Item(0)).Caption(), QStringLiteral("最初"));
    EXPECT_EQ(static_cast<TTestItem&>(back->ItemList().Item(1)).Value(), -1);

    // Items may carry an order number before their list.
    const QByteArray numbered =
        RectWith(Str("Items") + "\x0e" + Hex("0203") + "\x01" + Str("Value") + Hex("0209") + '\0' + '\0');
    back = ReadRect(numbered);
    ASSERT_EQ(back->ItemList().Count(), 1);
    EXPECT_EQ(static_cast<TTestItem&>(back->ItemList().Item(0)).Value(), 9);

    EXPECT_EQ(ReadFailure(RectWith(Str("Style") + "\x07" + Str("tsWavy"))), ValueErrorText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Items") + Hex("0100"))), ValueErrorText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Items") + "\x0e\x06\x01x")), ValueErrorText);
}

TEST(ObjectStream, EveryPropertyKindCustomRecordAndChildSurvivesTheRoundTrip)
{
    auto rect = Rect(-5, 7, 40000, 1);
    rect->SetName(QStringLiteral("Top"));
    rect->SetCaption(QString(200, QChar(0x3042)));  // 400 bytes: long string
    rect->SetRatio(-0.1);
    rect->SetBig(int64_t(1) << 40);
    rect->SetInitial('Q');
    rect->Font()->SetSize(12);
    rect->Font()->SetFaceName(QStringLiteral("ＭＳ ゴシック"));
    rect->SetPopupMenu(QStringLiteral("Menu1"));
    rect->SetOnModify(QStringLiteral("DoModify"));
    rect->data = QByteArray("\x00\xFF\x10", 3);
    rect->extra = {1, 300, -70000};
    auto child = Rect(1, 2, 3, 4);
    child->SetName(QStringLiteral("Child"));
    child->children.push_back(Rect(5, 6, 7, 8));
    rect->children.push_back(std::move(child));
    rect->children.push_back(std::make_unique<TTestOther>());

    const QByteArray bytes = Stream(*rect);
    EXPECT_TRUE(Contains(bytes, Str("Font.Size") + Hex("020c")));
    EXPECT_TRUE(Contains(bytes, Str("Big") + Hex("130000000000010000")));
    EXPECT_TRUE(Contains(bytes, Str("Initial") + Hex("060151")));
    EXPECT_TRUE(Contains(bytes, Str("PopupMenu") + "\x07" + Str("Menu1")));
    EXPECT_TRUE(Contains(bytes, Str("Data") + Hex("0a0300000000ff10")));

    auto back = ReadRect(bytes);
    EXPECT_EQ(back->Name(), QStringLiteral("Top"));
    EXPECT_EQ(back->Left(), -5);
    EXPECT_EQ(back->Width(), 40000);
    EXPECT_EQ(back->Caption(), rect->Caption());
    EXPECT_EQ(back->Ratio(), -0.1);
    EXPECT_EQ(back->Big(), int64_t(1) << 40);
    EXPECT_EQ(back->Initial(), 'Q');
    EXPECT_EQ(back->Font()->Size(), 12);
    EXPECT_EQ(back->Font()->FaceName(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(back->PopupMenu(), QStringLiteral("Menu1"));
    EXPECT_EQ(back->OnModify(), QStringLiteral("DoModify"));
    EXPECT_EQ(back->data, rect->data);
    EXPECT_EQ(back->extra, rect->extra);
    ASSERT_EQ(back->children.size(), 2u);
    auto* backChild = dynamic_cast<TTestRect*>(back->children[0].get());
    ASSERT_NE(backChild, nullptr);
    EXPECT_EQ(backChild->Name(), QStringLiteral("Child"));
    ASSERT_EQ(backChild->children.size(), 1u);
    EXPECT_EQ(static_cast<TTestRect&>(*backChild->children[0]).Height(), 8);
    EXPECT_NE(dynamic_cast<TTestOther*>(back->children[1].get()), nullptr);
    EXPECT_EQ(Stream(*back), bytes);
}

TEST(ObjectStream, LoadedRunsAfterTheWholeStreamParentsBeforeChildren)
{
    auto rect = Rect(0, 0, 0, 0);
    rect->SetName("A");
    auto b = Rect(0, 0, 0, 0);
    b->SetName("B");
    auto c = Rect(0, 0, 0, 0);
    c->SetName("C");
    b->children.push_back(std::move(c));
    rect->children.push_back(std::move(b));
    auto d = Rect(0, 0, 0, 0);
    d->SetName("D");
    rect->children.push_back(std::move(d));
    const QByteArray bytes = Stream(*rect);

    TTestRect::LoadedLog().clear();
    ReadRect(bytes);
    EXPECT_EQ(TTestRect::LoadedLog(), QStringList({"A", "B", "C", "D"}));

    // A stream that fails half-way loads nothing.
    TTestRect::LoadedLog().clear();
    EXPECT_EQ(ReadFailure(bytes.left(bytes.size() - 1)), ReadErrorText);
    EXPECT_TRUE(TTestRect::LoadedLog().isEmpty());
}

TEST(ObjectStream, ReadingReportsUnknownClassesPropertiesAndPaths)
{
    const QByteArray child = Str("TNope") + Str("") + '\0' + '\0';
    EXPECT_EQ(ReadFailure(RectWith({}, child)), QStringLiteral("クラス TNope が見つかりません"));
    EXPECT_EQ(ReadFailure("TPF0" + Str("TNope") + Str("") + '\0' + '\0'),
              QStringLiteral("クラス TNope が見つかりません"));
    EXPECT_EQ(ReadFailure(RectWith(Str("Nope") + Hex("0201"))), NoPropertyText);
    // Names of damaged streams are shown, never echoed with their control bytes.
    EXPECT_EQ(ReadFailure("TPF0" + Str("T\x01\x1b[2J") + Str("") + '\0' + '\0'),
              QStringLiteral("クラス T\\x01\\x1b[2J が見つかりません"));
    EXPECT_EQ(ReadFailure(RectWith(Str("No\npe") + Hex("0201")), true),
              QStringLiteral("プロパティが存在しません（クラス TTestRect、プロパティ No\\x0ape）"));
    EXPECT_EQ(ReadFailure(RectWith({}, Str("TComponent") + Str("") + End2)), FormatErrorText);  // abstract
    EXPECT_EQ(ReadFailure(RectWith(Str("Font.Weight") + Hex("0201"))), NoPropertyText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Left.X") + Hex("0201"))), PathErrorText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Left") + Hex("060131"))), ValueErrorText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Visible") + Hex("0201"))), ValueErrorText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Extra") + Hex("0201"))), ValueErrorText);
    EXPECT_EQ(ReadFailure("TPF1" + Str("TTestRect") + Str("") + '\0' + '\0'), FormatErrorText);
    // A child that its parent does not take.
    const QByteArray other =
        "TPF0" + Str("TTestOther") + Str("") + '\0' + Str("TTestRect") + Str("") + End2 + '\0';
    EXPECT_EQ(ReadFailure(other), FormatErrorText);
    // The message says which object and property the reader was at; the innermost one wins.
    EXPECT_EQ(ReadFailure(RectWith(Str("Left") + Hex("060131")), true),
              ValueErrorText + "（クラス TTestRect、プロパティ Left）");
    EXPECT_EQ(ReadFailure(RectWith(Str("Font.Weight") + Hex("0201")), true),
              NoPropertyText + "（クラス TTestRect、プロパティ Font.Weight）");
    EXPECT_EQ(ReadFailure(RectWith({}, Str("TTestRect") + Str("") + Str("Nope") + Hex("0201") + End2), true),
              NoPropertyText + "（クラス TTestRect、プロパティ Nope）");
    EXPECT_EQ(ReadFailure("TPF1" + Str("TTestRect") + Str("") + '\0' + '\0', true), FormatErrorText);
    // Property names compare without regard to case; identifiers of booleans too.
    EXPECT_FALSE(ReadRect(RectWith(Str("visible") + "\x07" + Str("false")))->Visible());
}

TEST(ObjectStream, PrefixFlagsAreAcceptedAndTheCreationHookSubstitutesClasses)
{
    const QByteArray prefixed = "TPF0" + Hex("f20203") + Str("TTestRect") + Str("") + Str("Left") +
                                Hex("0209") + '\0' + Hex("f1") + Str("TTestRect") + Str("") + End2 + '\0';
    auto rect = ReadRect(prefixed);
    EXPECT_EQ(rect->Left(), 9);
    EXPECT_EQ(rect->children.size(), 1u);

    TReadOptions options = Options();
    QList<QByteArray> asked;
    options.create = [&](const QByteArray& name) -> std::unique_ptr<TComponent> {
        asked.append(name);
        if (name == "TTestOther") return std::make_unique<TTestRect>();
        return nullptr;
    };
    const QByteArray withOther = RectWith({}, Str("TTestOther") + Str("") + End2);
    rect = ReadRect(withOther, options);
    ASSERT_EQ(rect->children.size(), 1u);
    EXPECT_NE(dynamic_cast<TTestRect*>(rect->children[0].get()), nullptr);
    EXPECT_EQ(asked, QList<QByteArray>({"TTestRect", "TTestOther"}));
}

TEST(ObjectStream, ExistingObjectKeepsItsClass)
{
    const QByteArray bytes = "TPF0" + Str("TSomethingElse") + Str("Named") + Str("Top") + Hex("0207") + End2;
    TTestRect rect;
    TBoundedReader in(bytes);
    ReadObjectInto(in, rect, Options());
    EXPECT_EQ(rect.Top(), 7);
    EXPECT_EQ(rect.Name(), QStringLiteral("Named"));
}

TEST(ObjectStream, ResourceFrameHeaderAndLength)
{
    auto rect = Rect(1, 2, 3, 4);
    QByteArray framed;
    WriteObjectRes(framed, "Info", *rect);
    const QByteArray stream = Stream(*rect);
    EXPECT_EQ(framed.left(10), Hex("ff0a00494e464f003010"));
    const int32_t length = static_cast<int32_t>(stream.size());
    EXPECT_EQ(framed.mid(10, 4), QByteArray(reinterpret_cast<const char*>(&length), 4));
    EXPECT_EQ(framed.mid(14), stream);

    QByteArray labelData;
    WriteObjectRes(labelData, "LabelData", *rect);
    EXPECT_EQ(labelData.left(15), Hex("ff0a00") + "LABELDATA" + Hex("003010"));
    EXPECT_EQ(labelData.mid(19), stream);

    TBoundedReader in(framed);
    std::unique_ptr<TComponent> created = ReadObjectRes(in, Options());
    EXPECT_EQ(static_cast<TTestRect&>(*created).Height(), 4);

    // Only the first three bytes are checked; the name and the rest of the header are skipped.
    QByteArray renamed = framed;
    renamed[3] = 'x';
    TTestRect into;
    TBoundedReader in2(renamed);
    ReadObjectResInto(in2, into, Options());
    EXPECT_EQ(into.Width(), 3);

    QByteArray wrong = framed;
    wrong[1] = 11;
    TBoundedReader in3(wrong);
    try {
        ReadObjectRes(in3, Options());
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), FormatErrorText);
    }
    QByteArray ignored;
    EXPECT_THROW(WriteObjectRes(ignored, QByteArray(64, 'A'), *rect), EKestrel);
}

TEST(ObjectStream, ObjectListsCountTheirStreamsAndDropForeignClasses)
{
    QByteArray empty;
    WriteObjectList(empty, {});
    EXPECT_EQ(empty, QByteArray(4, '\0'));

    auto rect = Rect(1, 2, 3, 4);
    TTestOther other;
    auto second = Rect(5, 6, 7, 8);
    const TComponent* objects[] = {rect.get(), &other, second.get()};
    QByteArray list;
    WriteObjectList(list, objects);
    EXPECT_EQ(list.left(8), Hex("03000000") + "TPF0");

    TBoundedReader in(list);
    auto read = ReadObjectList(in, TTestRect::StaticClass(), Options());
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(static_cast<TTestRect&>(*read[1]).Left(), 5);
    EXPECT_TRUE(in.AtEnd());

    for (const char* count : {"ffffff7f", "00000001"}) {
        const QByteArray bytes = Hex(count) + list.mid(4);
        TBoundedReader hostile(bytes);
        try {
            ReadObjectList(hostile, TTestRect::StaticClass(), Options());
            ADD_FAILURE();
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("オブジェクトが 10000 個を超えています"));
        }
    }
    const QByteArray minusOne = Hex("ffffffff");
    TBoundedReader negative(minusOne);
    EXPECT_THROW(ReadObjectList(negative, TTestRect::StaticClass(), Options()), EReadError);
}

TEST(ObjectStream, AStreamOrAListCreatesAtMostTheAllowedNumberOfObjects)
{
    auto rect = Rect(1, 2, 3, 4);
    rect->children.push_back(Rect(1, 1, 1, 1));
    rect->children.push_back(Rect(2, 2, 2, 2));
    QByteArray single;
    WriteObject(single, *rect);
    TReadOptions options = Options();
    options.maxObjects = 3;
    TBoundedReader fits(single);
    EXPECT_NO_THROW(ReadObject(fits, options));
    options.maxObjects = 2;
    TBoundedReader over(single);
    try {
        ReadObject(over, options);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("オブジェクトが 2 個を超えています"));
    }

    // The objects of a list share one budget.
    const TComponent* objects[] = {rect.get(), rect.get()};
    QByteArray list;
    WriteObjectList(list, objects);
    options.maxObjects = 6;
    TBoundedReader all(list);
    EXPECT_EQ(ReadObjectList(all, TTestRect::StaticClass(), options).size(), 2u);
    options.maxObjects = 5;
    TBoundedReader shared(list);
    EXPECT_THROW(ReadObjectList(shared, TTestRect::StaticClass(), options), EReadError);
}

TEST(ObjectStream, EveryTruncationAndHugeLengthFailsCleanly)
{
    auto rect = Rect(1, 2, 3, 4);
    rect->SetCaption(QString(300, 'c'));
    rect->SetLines({"x", "y"});
    rect->SetOptions(2);
    rect->data = "payload";
    static_cast<TTestItem&>(rect->Items()->Add()).SetCaption("item");
    rect->children.push_back(Rect(1, 1, 1, 1));
    QByteArray framed;
    WriteObjectRes(framed, "Info", *rect);
    for (qsizetype n = 0; n < framed.size(); ++n) {
        TBoundedReader in(QByteArrayView(framed).first(n));
        try {
            ReadObjectRes(in, Options());
            ADD_FAILURE() << "no error at " << n;
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Reason() == ReadErrorText || e.Reason() == FormatErrorText) << n;
        }
    }
    EXPECT_EQ(ReadFailure(RectWith(Str("Data") + Hex("0affffff7f41"))), ReadErrorText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Caption") + Hex("0cffffff70"))), ReadErrorText);
    EXPECT_EQ(ReadFailure(RectWith(Str("Caption") + Hex("12ffffff7f"))), ReadErrorText);
}

TEST(ObjectStream, DeepNestingIsRefused)
{
    QByteArray children;
    for (int i = 0; i < 200; ++i) children += Str("TTestRect") + Str("") + '\0';
    children += QByteArray(200, '\0');
    EXPECT_EQ(ReadFailure(RectWith({}, children)), QStringLiteral("入れ子が 64 段を超えています"));

    // A property the class keeps but never stores is read past, within the same depth limit.
    EXPECT_EQ(ReadRect(RectWith(Str("Depth") + Hex("01 01 0203 00 0e 01 0141 0601 42 00 00 00") + Str("Top") +
                                Hex("0205")))
                  ->Top(),
              5);
    const QByteArray deepList = Str("Depth") + QByteArray(100, '\x01') + QByteArray(100, '\0');
    EXPECT_EQ(ReadFailure(RectWith(deepList)), QStringLiteral("入れ子が 64 段を超えています"));
}

TEST(ClassRegistry, AncestorsComeAlongAndTheFirstNameWins)
{
    TClassRegistry registry;
    registry.Register(TTestRect::StaticClass());
    EXPECT_EQ(registry.Find("ttestrect"), &TTestRect::StaticClass());
    EXPECT_EQ(registry.Find("TComponent"), &TComponent::StaticClass());
    EXPECT_EQ(registry.Find("TPersistent"), &TPersistent::StaticClass());
    EXPECT_EQ(registry.Find("TTestOther"), nullptr);

    static const TClassInfo impostor("TTestRect", &TComponent::StaticClass(), FactoryOf<TTestOther>(), {});
    registry.Register(impostor);
    EXPECT_EQ(registry.Find("TTestRect"), &TTestRect::StaticClass());
    try {
        registry.Get("TMissing");
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("クラス TMissing が見つかりません"));
    }
}

TEST(AssignPublished, CopiesEveryPublishedPropertyIncludingNestedAndCollections)
{
    auto rect = Rect(1, 2, 3, 4);
    rect->SetCaption("c");
    rect->SetLines({"l"});
    rect->Font()->SetSize(20);
    rect->SetRatio(2.5);
    static_cast<TTestItem&>(rect->Items()->Add()).SetValue(77);
    TTestRect copy;
    AssignPublished(*rect, copy);
    EXPECT_EQ(Stream(copy), Stream(*rect));
    EXPECT_THROW(copy.Items()->Item(0).Assign(TTestOther()), EKestrel);
}

}  // namespace
}  // namespace kestrel
