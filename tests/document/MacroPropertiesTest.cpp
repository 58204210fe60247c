#include <gtest/gtest.h>

#include "app/AppFrame.h"
#include "document/MacroProperties.h"
#include "document/stream/Persistent.h"

namespace kestrel {
namespace {

class TCaptioned : public TComponent {
    KESTREL_PERSISTENT()
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v) { caption_ = v; }
    QString Hidden() const { return hidden_; }
    void SetHidden(const QString& v) { hidden_ = v; }
    QStringList Lines() const { return lines_; }
    void SetLines(const QStringList& v) { lines_ = v; }

    void GetChildren(const std::function<void(TComponent&)>& proc) const override
    {
        for (const auto& child : children_) proc(*child);
    }
    std::vector<std::unique_ptr<TCaptioned>> children_;

private:
    QString caption_;
    QString hidden_;
    QStringList lines_;
};

const TClassInfo& TCaptioned::StaticClass()
{
    static const TClassInfo info("TCaptioned", &TComponent::StaticClass(), FactoryOf<TCaptioned>(), [] {
        return TPropsOf<TCaptioned>()
            .String("Caption", &TCaptioned::Caption, &TCaptioned::SetCaption)
            .String("Hidden", &TCaptioned::Hidden, &TCaptioned::SetHidden)
            .StoredIf([](const TCaptioned&) { return false; })
            .Strings("Lines", &TCaptioned::Lines, &TCaptioned::SetLines)
            .Done();
    });
    return info;
}

class MacroPropertiesTest : public ::testing::Test {
protected:
    MacroPropertiesTest() { frame_.Macro().SetLines({"AppName=Kestrel", "CRLF=\r\n", "Ver=1.0"}); }
    TAppFrame frame_;
};

TEST_F(MacroPropertiesTest, ExpandsStoredTextsOfTheComponentAndItsChildren)
{
    TCaptioned root;
    root.SetCaption("$(AppName)の終了(&X)");
    root.SetLines({"$(AppName) $(Ver)", "a$(CRLF)b", "plain"});
    root.SetHidden("$(AppName)");
    auto child = std::make_unique<TCaptioned>();
    child->SetCaption("$(AppName)の使い方(&C)");
    root.children_.push_back(std::move(child));

    ExpandComponentMacros(root);
    EXPECT_EQ(root.Caption(), "Kestrelの終了(&X)");
    EXPECT_EQ(root.Lines(), QStringList({"Kestrel 1.0", "a", "b", "plain"}));
    EXPECT_EQ(root.Hidden(), "$(AppName)");  // not stored, so not touched
    EXPECT_EQ(root.children_[0]->Caption(), "Kestrelの使い方(&C)");
}

TEST_F(MacroPropertiesTest, TextsThatDoNotExpandStayAsTheyWere)
{
    TCaptioned root;
    root.SetCaption("$(Unknown) caption");
    root.SetLines({"$(AppName)", "$(broken"});
    ExpandComponentMacros(root);
    EXPECT_EQ(root.Caption(), "$(Unknown) caption");
    EXPECT_EQ(root.Lines(), QStringList({"$(AppName)", "$(broken"}));
}

}  // namespace
}  // namespace kestrel
