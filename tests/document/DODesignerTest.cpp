#include <gtest/gtest.h>

#include "UndoFixtures.h"
#include "document/DODesigner.h"
#include "platform/BoundedReader.h"

namespace kestrel::test {
namespace {

// A rectangle that keeps its aspect and can size itself, like a picture or a text.
class TAutoRect : public TFilledRect, public IDOAutoSize {
    KESTREL_PERSISTENT()
public:
    bool AutoSize() const override { return autoSize; }
    void SetAutoSize(bool value) override { autoSize = value; }
    bool KeepsAspect() const override { return true; }
    bool autoSize = false;
};

const TClassInfo& TAutoRect::StaticClass()
{
    static const TClassInfo info("TAutoRect", &TFilledRect::StaticClass(), FactoryOf<TAutoRect>(), {});
    return info;
}

// Answers editing and ghosts; the edit answer is configurable.
class TRecordingDesigner : public TDODesigner {
public:
    std::optional<bool> editAnswer = true;
    std::vector<TDrawObject*> edited;
    std::vector<int> ghosts;

    std::optional<bool> EditObject(TDrawObject& object) override
    {
        edited.push_back(&object);
        return editAnswer;
    }
    bool StartGhost(TDrawObject&, int handle) override
    {
        ghosts.push_back(handle);
        return true;
    }
};

const int Module = 0;

class DODesignerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareUndoTest();
        InstallObjectDesigners();
        designer = static_cast<TRecordingDesigner*>(
            &DesignerList().Register(std::make_unique<TRecordingDesigner>(), &Module));
        TLOCreator::RegisterClassFactory("TLOWizardImage", [] { return std::make_unique<TAutoRect>(); });
        TLOCreator::RegisterClassFactory("TLOText", [] { return std::make_unique<TAutoRect>(); });
        site.area = {0, 0, 400, 200};
        site.visible = site.area;
    }
    void TearDown() override
    {
        DesignerList().UnregisterModule(&Module);
        ActionList().Clear();
    }

    TEditSite site;
    TRecordingDesigner* designer = nullptr;
};

TEST_F(DODesignerTest, KindsMapOntoClasses)
{
    TLOCreator creator;
    for (const char* kind :
         {"TLOImage", "TLOImagePaste", "TLOBitmapPaste", "TLOMetafilePaste", "TLOOnePoint", "TLOTwain"})
        EXPECT_EQ(creator.TargetClass(kind), "TLOWizardImage") << kind;
    EXPECT_EQ(creator.TargetClass("TLOTextPaste"), "TLOText");
    EXPECT_EQ(creator.TargetClass("TLOOLEPaste"), "TLOOLE");
    EXPECT_EQ(creator.TargetClass("TLOArrangedImage"), "TLOArrangedImage");
    EXPECT_EQ(creator.TargetClass("TFilledRect"), "TFilledRect");

    EXPECT_EQ(DesignerList().NewObject("TLOTwain")->ClassName(), "TAutoRect");
    EXPECT_EQ(DesignerList().NewObject("TFilledRect")->ClassName(), "TFilledRect");
    EXPECT_EQ(DesignerList().NewObject("TLORectBase"), nullptr) << "abstract";
    EXPECT_EQ(DesignerList().NewObject("TDSOperation"), nullptr) << "not a draw object";
    EXPECT_EQ(DesignerList().NewObject("TNoSuchClass"), nullptr);
    EXPECT_FALSE(DesignerList().CreateOnSite(site, "TNoSuchClass"));
}

TEST_F(DODesignerTest, ObjectListsReadThroughTheKindMapping)
{
    QByteArray bytes = QByteArray::fromHex("01000000") + "TPF0";
    bytes += QByteArray("\x08TLOImage\x00\x00\x00", 12);
    TDOList list;
    list.LoadFromBytes(bytes);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(0).ClassName(), "TAutoRect");
}

TEST_F(DODesignerTest, KindsPlacedAtOnceAreRecordedSelectedAndFitted)
{
    TFilledRect& other = site.Put({0, 0, 10, 10});
    other.SetSelected(true);
    TLOCreator::SetKindSetup("TLOImagePaste", {[](TDrawObject& o, TObjectSite&) {
                                                   static_cast<TAutoRect&>(o).SetBounds({0, 0, 800, 200});
                                               },
                                               false, false});
    ASSERT_TRUE(DesignerList().CreateOnSite(site, "TLOImagePaste"));
    ASSERT_EQ(site.ChildCount(), 2);
    auto& created = static_cast<TAutoRect&>(site.Child(1));
    EXPECT_TRUE(designer->edited.empty());
    EXPECT_EQ(created.Rect(), (TRect{0, 50, 400, 150})) << "fitted keeping its aspect, centred";
    EXPECT_EQ(created.Cursor(), crHandPoint);
    EXPECT_TRUE(created.Selected());
    EXPECT_FALSE(other.Selected());
    EXPECT_EQ(ActionList().UndoCaption(), "追加");
    ActionList().Undo();
    EXPECT_EQ(site.ChildCount(), 1);
}

TEST_F(DODesignerTest, EditorFirstKindsAreDroppedWhenTheEditIsCancelled)
{
    designer->editAnswer = false;
    EXPECT_FALSE(DesignerList().CreateOnSite(site, "TLOText"));
    ASSERT_EQ(designer->edited.size(), 1u);
    EXPECT_EQ(site.ChildCount(), 0);
    EXPECT_EQ(ActionList().Count(), 0);

    designer->editAnswer = true;
    std::vector<TDrawObject*> observed;
    TLOCreator::SetCreationObserver([&](TDrawObject& o) { observed.push_back(&o); });
    EXPECT_TRUE(DesignerList().CreateOnSite(site, "TLOText"));
    TLOCreator::SetCreationObserver({});
    ASSERT_EQ(site.ChildCount(), 1);
    EXPECT_TRUE(static_cast<TAutoRect&>(site.Child(0)).autoSize);
    EXPECT_EQ(observed, std::vector<TDrawObject*>{&site.Child(0)});
    EXPECT_GE(site.dragCancels, 2);
}

TEST_F(DODesignerTest, OtherKindsArePlacedByDragging)
{
    EXPECT_TRUE(DesignerList().CreateOnSite(site, "TFilledRect"));
    ASSERT_EQ(site.ChildCount(), 1);
    EXPECT_FALSE(site.Child(0).Visible());
    EXPECT_EQ(designer->ghosts, std::vector<int>{-2});
    EXPECT_EQ(site.cursors.back(), crCross);
    EXPECT_EQ(ActionList().Count(), 0) << "the drag records the creation when it ends";
}

TEST_F(DODesignerTest, BackgroundKindCoversTheSiteAndIsNotSelectable)
{
    TLOCreator::RegisterClassFactory("TLOBackImage", [] { return std::make_unique<TFilledRect>(); });
    EXPECT_TRUE(DesignerList().CreateOnSite(site, "TLOBackImage"));
    auto& back = static_cast<TFilledRect&>(site.Child(0));
    EXPECT_EQ(back.Rect(), site.area);
    EXPECT_FALSE(back.Selectable());
    EXPECT_FALSE(back.Enabled());
}

TEST_F(DODesignerTest, NewestDesignerAnswersFirstAndEditingRebuildsHandles)
{
    auto& newer = static_cast<TRecordingDesigner&>(
        DesignerList().Register(std::make_unique<TRecordingDesigner>(), &Module));
    newer.editAnswer = std::nullopt;  // declines: the older one answers
    TFilledRect& object = site.Put({0, 0, 10, 10});
    const int before = site.pivotUpdates;
    EXPECT_TRUE(ObjectDesigners()->EditObject(object));
    EXPECT_EQ(newer.edited.size(), 1u);
    EXPECT_EQ(designer->edited.size(), 1u);
    EXPECT_EQ(site.pivotUpdates, before + 1);
    object.StartGhost(3);
    EXPECT_EQ(newer.ghosts, std::vector<int>{3});
    EXPECT_TRUE(designer->ghosts.empty());
    DesignerList().UnregisterModule(&Module);
    EXPECT_FALSE(ObjectDesigners()->EditObject(object));
}

}  // namespace
}  // namespace kestrel::test
