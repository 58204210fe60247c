#include <gtest/gtest.h>

#include "app/AppFrame.h"
#include "app/EnvIniIO.h"
#include "app/ProgramMacros.h"
#include "platform/SettingsStore.h"

namespace kestrel {
namespace {

// The program's frame with its macros, as the settings key path needs them.
class TProgramFrame : public TAppFrame {
public:
    TProgramFrame()
    {
        Macro().SetLines(ProgramMacroTable());
        Loaded();
    }
};

class TWindow : public IFormPlacement {
public:
    QString FormName() const override { return "frmPlugin"; }
    QRect NormalBounds() const override { return bounds; }
    void SetNormalBounds(const QRect& r) override { bounds = r; }
    QSize ScreenSize() const override { return {1280, 1024}; }
    QRect OwnerBounds() const override { return {100, 100, 600, 400}; }
    QRect bounds{0, 0, 200, 100};
};

TEST(EnvIniIO, TheRectangleIsKeptAsFourEdgesUnderTheProgramsKey)
{
    TProgramFrame frame;
    TEnvIniIO io("Plugins\\Music");
    EXPECT_EQ(io.KeyPath(), frame.Expand("$(SysRegistryKey)\\Plugins\\Music"));
    TWindow window;
    window.bounds = QRect(30, 40, 300, 200);
    io.SaveBounds(window);
    const TSettingsKey key(io.KeyPath());
    EXPECT_EQ(key.ReadInteger("FormRight", 0), 330);
    EXPECT_EQ(key.ReadInteger("FormBottom", 0), 240);
    TWindow restored;
    io.RestoreBounds(restored);
    EXPECT_EQ(restored.bounds, QRect(30, 40, 300, 200));
}

TEST(EnvIniIO, AWindowNeverSavedOrOffTheScreenIsCentredOnItsOwner)
{
    TProgramFrame frame;
    TEnvIniIO io("Never");
    TWindow window;
    io.RestoreBounds(window);
    EXPECT_EQ(window.bounds, QRect(300, 250, 200, 100));  // centred on the owner, its size kept
    for (const QRect& saved :
         {QRect(1264, 10, 100, 100), QRect(10, 1009, 100, 100), QRect(-5, 10, 100, 100)}) {
        window.bounds = saved;
        io.SaveBounds(window);
        window.bounds = QRect(0, 0, 200, 100);
        io.RestoreBounds(window);
        EXPECT_EQ(window.bounds, QRect(300, 250, 200, 100)) << saved.x() << "," << saved.y();
    }
    window.bounds = QRect(10, 1008, 100, 100);  // 16 pixels still on the screen
    io.SaveBounds(window);
    io.RestoreBounds(window);
    EXPECT_EQ(window.bounds.topLeft(), QPoint(10, 1008));
}

}  // namespace
}  // namespace kestrel
