#include "document/stream/Persistent.h"

#include <gtest/gtest.h>

#include "platform/Error.h"

namespace kestrel {
namespace {

class TBaseThing : public TComponent {
    KESTREL_PERSISTENT()
public:
    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w; }
    int Height() const { return height_; }
    void SetHeight(int h) { height_ = h; }

private:
    int width_ = 0;
    int height_ = 0;
};

class TDerivedThing : public TBaseThing {
    KESTREL_PERSISTENT()
public:
    bool Flag() const { return flag_; }
    void SetFlag(bool f) { flag_ = f; }

private:
    bool flag_ = false;
};

const TClassInfo& TBaseThing::StaticClass()
{
    static const TClassInfo info("TBaseThing", &TComponent::StaticClass(), {}, [] {
        return TPropsOf<TBaseThing>()
            .NeverStored("Width")
            .Int("Height", &TBaseThing::Height, &TBaseThing::SetHeight, 0)
            .Done();
    });
    return info;
}

const TClassInfo& TDerivedThing::StaticClass()
{
    static const TClassInfo info("TDerivedThing", &TBaseThing::StaticClass(), FactoryOf<TDerivedThing>(), [] {
        return TPropsOf<TDerivedThing>()
            .Bool("Flag", &TDerivedThing::Flag, &TDerivedThing::SetFlag, 0)
            .Int("Width", &TBaseThing::Width, &TBaseThing::SetWidth, NoDefault)
            .Done();
    });
    return info;
}

TEST(Persistent, RedeclaredPropertyKeepsItsInheritedPosition)
{
    const auto& props = TDerivedThing::StaticClass().Properties();
    ASSERT_EQ(props.size(), 4u);
    EXPECT_EQ(props[0].name, "Tag");
    EXPECT_EQ(props[1].name, "Width");
    EXPECT_FALSE(props[1].neverStored);
    EXPECT_FALSE(props[1].OrdinalDefault().has_value());
    EXPECT_EQ(props[2].name, "Height");
    EXPECT_EQ(props[3].name, "Flag");
    EXPECT_TRUE(TBaseThing::StaticClass().Properties()[1].neverStored);
}

TEST(Persistent, AccessorsReachBaseClassMembersAndAbstractClassesRefuseCreation)
{
    auto obj = TDerivedThing::StaticClass().Create();
    const TPropInfo* width = obj->ClassInfo().FindProperty("width");
    ASSERT_NE(width, nullptr);
    width->SetOrdinal(*obj, 42);
    EXPECT_EQ(static_cast<TDerivedThing&>(*obj).Width(), 42);
    EXPECT_EQ(width->Ordinal(*obj), 42);
    EXPECT_TRUE(obj->ClassInfo().InheritsFrom(TComponent::StaticClass()));
    EXPECT_THROW(TBaseThing::StaticClass().Create(), EKestrel);
}

}  // namespace
}  // namespace kestrel
