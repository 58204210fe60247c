#include "StreamTestClasses.h"

#include "document/stream/ValueCodec.h"
#include "platform/BoundedReader.h"

namespace kestrel::test {

const TEnumInfo& TestStyleInfo()
{
    static const TEnumInfo info{"TTestStyle", {"tsPlain", "tsBold", "tsItalic"}};
    return info;
}

const TEnumInfo& TestOptionInfo()
{
    static const TEnumInfo info{"TTestOption", {"toFirst", "toSecond", "toThird"}};
    return info;
}

const TClassInfo& TTestItem::StaticClass()
{
    static const TClassInfo info("TTestItem", &TCollectionItem::StaticClass(), FactoryOf<TTestItem>(), [] {
        return TPropsOf<TTestItem>()
            .Int("Value", &TTestItem::Value, &TTestItem::SetValue, NoDefault)
            .String("Caption", &TTestItem::Caption, &TTestItem::SetCaption)
            .Done();
    });
    return info;
}

const TClassInfo& TTestFont::StaticClass()
{
    static const TClassInfo info("TTestFont", &TPersistent::StaticClass(), FactoryOf<TTestFont>(), [] {
        return TPropsOf<TTestFont>()
            .Int("Size", &TTestFont::Size, &TTestFont::SetSize, 9)
            .String("Name", &TTestFont::FaceName, &TTestFont::SetFaceName)
            .Done();
    });
    return info;
}

TTestRect::TTestRect() : items_([] { return std::make_unique<TTestItem>(); }) {}

const TClassInfo& TTestRect::StaticClass()
{
    static const TClassInfo info("TTestRect", &TComponent::StaticClass(), FactoryOf<TTestRect>(), [] {
        return TPropsOf<TTestRect>()
            .Int("Left", &TTestRect::Left, &TTestRect::SetLeft, NoDefault)
            .Int("Top", &TTestRect::Top, &TTestRect::SetTop, NoDefault)
            .Int("Width", &TTestRect::Width, &TTestRect::SetWidth, NoDefault)
            .Int("Height", &TTestRect::Height, &TTestRect::SetHeight, NoDefault)
            .Cursor("Cursor", &TTestRect::Cursor, &TTestRect::SetCursor, 0)
            .String("Caption", &TTestRect::Caption, &TTestRect::SetCaption)
            .Bool("Visible", &TTestRect::Visible, &TTestRect::SetVisible, 1)
            .Int("BlendRatio", &TTestRect::BlendRatio, &TTestRect::SetBlendRatio, 100)
            .Color("Color", &TTestRect::Color, &TTestRect::SetColor, 0x1FFFFFFF)
            .Enum("Style", TestStyleInfo(), &TTestRect::Style, &TTestRect::SetStyle, tsPlain)
            .Set("Options", TestOptionInfo(), &TTestRect::Options, &TTestRect::SetOptions, 0)
            .Float("Ratio", &TTestRect::Ratio, &TTestRect::SetRatio)
            .Int64("Big", &TTestRect::Big, &TTestRect::SetBig, 0)
            .Char("Initial", &TTestRect::Initial, &TTestRect::SetInitial, 0)
            .Strings("Lines", &TTestRect::Lines, &TTestRect::SetLines)
            .Nested("Font", &TTestRect::Font)
            .Collection("Items", &TTestRect::Items)
            .Component("PopupMenu", &TTestRect::PopupMenu, &TTestRect::SetPopupMenu)
            .Method("OnModify", &TTestRect::OnModify, &TTestRect::SetOnModify)
            .NeverStored("Depth")
            .Done();
    });
    return info;
}

void TTestRect::GetChildren(const std::function<void(TComponent&)>& proc) const
{
    for (const auto& child : children) proc(*child);
}

void TTestRect::AdoptChild(std::unique_ptr<TComponent> child)
{
    children.push_back(std::move(child));
}

void TTestRect::DefineProperties(TFiler& filer)
{
    filer.DefineBinaryProperty(
        "Data", [this](TBoundedReader& in) { data = in.ReadBytes(in.Remaining()).toByteArray(); },
        [this](QByteArray& out) { out.append(data); }, !data.isEmpty());
    filer.DefineProperty(
        "Extra",
        [this](TReader& reader) {
            extra.clear();
            reader.ReadListBegin();
            while (!reader.EndOfList()) extra.push_back(reader.ReadInteger());
            reader.ReadListEnd();
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            for (int v : extra) writer.WriteInteger(v);
            writer.WriteListEnd();
        },
        !extra.empty());
}

void TTestRect::Loaded()
{
    LoadedLog().append(Name());
}

QStringList& TTestRect::LoadedLog()
{
    static QStringList log;
    return log;
}

const TClassInfo& TTestOther::StaticClass()
{
    static const TClassInfo info("TTestOther", &TComponent::StaticClass(), FactoryOf<TTestOther>(), {});
    return info;
}

}  // namespace kestrel::test
