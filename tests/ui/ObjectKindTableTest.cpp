#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "document/DrawObject.h"
#include "document/ObjectKinds.h"
#include "document/stream/ClassRegistry.h"
#include "ui/ObjectCommands.h"

namespace kestrel {
namespace {

// A kind described where it is built needs its line in the user interface's table to be
// editable; a misspelt class name there shows up here, not in front of a user.
TEST(ObjectKindTable, EveryKindWhoseEditorComesFirstHasOne)
{
    for (const TObjectKind* kind : TObjectKinds::Global().Insertable()) {
        if (!kind->editorFirst) continue;
        const std::unique_ptr<TDrawObject> object = TObjectKinds::Global().NewObject(kind->name);
        ASSERT_NE(object, nullptr) << kind->name.constData();
        EXPECT_NE(FindPropertiesEditor(*object), nullptr) << kind->name.constData();
    }
    for (const TPropertiesEditorEntry& entry : PropertiesEditors())
        EXPECT_NE(TClassRegistry::Global().Find(entry.className), nullptr) << entry.className.constData();
}

TEST(ObjectKindTable, TheInsertMenuFollowsTheKinds)
{
    TObjectCommands commands(nullptr);
    const std::vector<const TObjectKind*> kinds = TObjectKinds::Global().Insertable();
    ASSERT_EQ(commands.Actions().size(), kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(commands.Actions()[i]->text(), kinds[i]->caption);
        EXPECT_EQ(commands.Actions()[i]->statusTip(), kinds[i]->hint);
        EXPECT_FALSE(commands.Actions()[i]->isEnabled()) << "no face shown";
    }
    EXPECT_EQ(commands.Actions().front()->text(), QStringLiteral("直線(&L)"));
}

TEST(ObjectKindTable, TheInsertMenuNamesTheKindsOfTheLayoutScreen)
{
    TObjectCommands commands(nullptr);
    QStringList captions;
    for (const QAction* action : commands.Actions()) captions << action->text();
    for (const char* caption : {"文字(&T)...", "日付・時間(&D)...", "直線(&L)", "円弧(&A)", "四角(&R)", "円(&E)",
                                "ワンポイントイラスト(&O)...", "イメージファイル(&F)...", "TWAIN取り込み(&T)...",
                                "JANコード(&J)...", "QRコード(&Q)...", "飾り罫線(&D)...", "飾り文字(&I)...",
                                "塗りつぶしイラスト(&A)"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(caption))) << caption;
}

}  // namespace
}  // namespace kestrel
