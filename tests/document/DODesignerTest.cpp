#include <gtest/gtest.h>

#include "UndoFixtures.h"
#include "document/DODesigner.h"
#include "document/ObjectKinds.h"
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

void AutoSized(TDrawObject& object, TObjectSite&)
{
    static_cast<TAutoRect&>(object).SetAutoSize(true);
}

class DODesignerTest : public ::testing::Test {
protected:
    DODesignerTest()
    {
        RegisterUndoTestClasses();
        const auto autoRect = [] { return std::make_unique<TAutoRect>(); };
        kinds.Register(TObjectKind::Command("TLOImagePaste", autoRect)
                           .PreparedBy([](TDrawObject& o, TObjectSite&) {
                               static_cast<TAutoRect&>(o).SetBounds({0, 0, 800, 200});
                           })
                           .PlacedAtOnce());
        kinds.Register(TObjectKind::Command("TLOText", autoRect).PreparedBy(AutoSized).EditedFirst());
        site = std::make_unique<TEditSite>(kinds);
        site->area = {0, 0, 400, 200};
        site->visible = site->area;
        designer = static_cast<TRecordingDesigner*>(
            &Designers().Register(std::make_unique<TRecordingDesigner>(), &Module));
    }

    TDODesignerList& Designers() { return site->session.Designers(); }
    TActionList& History() { return site->History(); }

    TObjectKinds kinds;
    std::unique_ptr<TEditSite> site;
    TRecordingDesigner* designer = nullptr;
};

TEST(ObjectKinds, KindsMakeTheirObjectsAndOtherNamesTheirClasses)
{
    RegisterUndoTestClasses();
    TObjectKinds kinds;
    kinds.Register(TObjectKind::Command("TMadeRect", [] { return std::make_unique<TAutoRect>(); }));
    kinds.Register(TObjectKind::Command("TMadeRect", [] { return std::make_unique<TFilledRect>(); }));
    EXPECT_EQ(kinds.NewObject("TMadeRect")->ClassName(), "TAutoRect") << "the first description stays";
    EXPECT_EQ(kinds.NewObject("TFilledRect")->ClassName(), "TFilledRect");
    EXPECT_EQ(kinds.NewObject("TLORectBase"), nullptr) << "abstract";
    EXPECT_EQ(kinds.NewObject("TDSOperation"), nullptr) << "not a draw object";
    EXPECT_EQ(kinds.NewObject("TNoSuchClass"), nullptr);
}

TEST(ObjectKinds, TheInsertMenuListsTheKindsWithCaptionsByPlace)
{
    TObjectKinds kinds;
    TClassRegistry classes;
    kinds.Register(TObjectKind::OfClass(TFilledRect::StaticClass()).InMenu("四角", "", 20), classes);
    kinds.Register(TObjectKind::OfClass(TAutoRect::StaticClass()).InMenu("自動", "", 10), classes);
    kinds.Register(TObjectKind::Command("THidden", {}), classes);
    std::vector<QString> captions;
    for (const TObjectKind* kind : kinds.Insertable()) captions.push_back(kind->caption);
    EXPECT_EQ(captions, (std::vector<QString>{"自動", "四角"}));
    EXPECT_NE(classes.Find("TAutoRect"), nullptr) << "a kind's class joins the registry";
    EXPECT_NE(classes.Find("TLORectBase"), nullptr) << "with its ancestors";
}

TEST(ObjectKinds, TheProgramsKindsMakeWhatStreamsAndCommandsName)
{
    const TObjectKinds& kinds = TObjectKinds::Global();
    for (const char* command :
         {"TLOImage", "TLOImagePaste", "TLOBitmapPaste", "TLOMetafilePaste", "TLOOnePoint", "TLOTwain", "TLOWizardImage"})
        EXPECT_EQ(kinds.NewObject(command)->ClassName(), "TLOImage") << command;
    EXPECT_EQ(kinds.NewObject("TLOTextPaste")->ClassName(), "TLOText");
    EXPECT_EQ(kinds.NewObject("TLOOLEPaste"), nullptr) << "no such object yet";
    // A clipboard's object list names its classes as streams do.
    QByteArray bytes = QByteArray::fromHex("01000000") + "TPF0";
    bytes += QByteArray("\x0eTLOWizardImage\x00\x00\x00", 18);
    TDOList list;
    list.LoadFromBytes(bytes);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(0).ClassName(), "TLOImage");
}

TEST_F(DODesignerTest, UnknownKindsCreateNothing)
{
    EXPECT_FALSE(Designers().CreateOnSite(*site, "TNoSuchClass"));
    EXPECT_EQ(site->ChildCount(), 0);
}

TEST_F(DODesignerTest, KindsPlacedAtOnceAreRecordedSelectedAndFitted)
{
    TFilledRect& other = site->Put({0, 0, 10, 10});
    other.SetSelected(true);
    ASSERT_TRUE(Designers().CreateOnSite(*site, "TLOImagePaste"));
    ASSERT_EQ(site->ChildCount(), 2);
    auto& created = static_cast<TAutoRect&>(site->Child(1));
    EXPECT_TRUE(designer->edited.empty());
    EXPECT_EQ(created.Rect(), (TRect{0, 50, 400, 150})) << "fitted keeping its aspect, centred";
    EXPECT_EQ(created.Cursor(), crHandPoint);
    EXPECT_TRUE(created.Selected());
    EXPECT_FALSE(other.Selected());
    EXPECT_EQ(History().UndoCaption(), "追加");
    History().Undo();
    EXPECT_EQ(site->ChildCount(), 1);
}

TEST_F(DODesignerTest, EditorFirstKindsAreDroppedWhenTheEditIsCancelled)
{
    designer->editAnswer = false;
    EXPECT_FALSE(Designers().CreateOnSite(*site, "TLOText"));
    ASSERT_EQ(designer->edited.size(), 1u);
    EXPECT_EQ(site->ChildCount(), 0);
    EXPECT_EQ(History().Count(), 0);

    designer->editAnswer = true;
    std::vector<TDrawObject*> observed;
    site->session.SetCreationObserver([&](TDrawObject& o) { observed.push_back(&o); });
    EXPECT_TRUE(Designers().CreateOnSite(*site, "TLOText"));
    ASSERT_EQ(site->ChildCount(), 1);
    EXPECT_TRUE(static_cast<TAutoRect&>(site->Child(0)).autoSize);
    EXPECT_EQ(observed, std::vector<TDrawObject*>{&site->Child(0)});
    EXPECT_GE(site->dragCancels, 2);
}

TEST_F(DODesignerTest, OtherKindsArePlacedByDragging)
{
    EXPECT_TRUE(Designers().CreateOnSite(*site, "TFilledRect"));
    ASSERT_EQ(site->ChildCount(), 1);
    EXPECT_FALSE(site->Child(0).Visible());
    EXPECT_EQ(designer->ghosts, std::vector<int>{-2});
    EXPECT_EQ(site->cursors.back(), crCross);
    EXPECT_EQ(History().Count(), 0) << "the drag records the creation when it ends";
}

TEST_F(DODesignerTest, NewestDesignerAnswersFirstAndEditingRebuildsHandles)
{
    auto& newer =
        static_cast<TRecordingDesigner&>(Designers().Register(std::make_unique<TRecordingDesigner>(), &Module));
    newer.editAnswer = std::nullopt;  // declines: the older one answers
    TFilledRect& object = site->Put({0, 0, 10, 10});
    const int before = site->pivotUpdates;
    EXPECT_TRUE(Designers().EditObject(object));
    EXPECT_EQ(newer.edited.size(), 1u);
    EXPECT_EQ(designer->edited.size(), 1u);
    EXPECT_EQ(site->pivotUpdates, before + 1);
    object.StartGhost(3);
    EXPECT_EQ(newer.ghosts, std::vector<int>{3});
    EXPECT_TRUE(designer->ghosts.empty());
    Designers().UnregisterModule(&Module);
    EXPECT_FALSE(Designers().EditObject(object));
}

TEST_F(DODesignerTest, ObjectsOffEverySessionAskNoDesigner)
{
    TTestSite plain;
    TFilledRect& object = plain.Add({0, 0, 10, 10});
    object.StartGhost(-1);
    object.DblClick();
    EXPECT_TRUE(designer->ghosts.empty());
    EXPECT_TRUE(designer->edited.empty());
}

}  // namespace
}  // namespace kestrel::test
