#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <QStatusTipEvent>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/GlobalNotify.h"

namespace kestrel {
namespace {

// What one instance heard.
struct THeard {
    int idle = 0;
    int activate = 0;
    int controls = 0;
    QStringList hints;
};

void Listen(TGlobalNotify& notify, THeard& heard)
{
    notify.OnIdle = [&](TGlobalNotify&) { ++heard.idle; };
    notify.OnActivate = [&](TGlobalNotify&) { ++heard.activate; };
    notify.OnActiveControlChange = [&](TGlobalNotify&) { ++heard.controls; };
    notify.OnHint = [&](TGlobalNotify&, const QString& hint) { heard.hints << hint; };
}

TEST(GlobalNotify, EveryInstanceHearsEveryEventUntilItGoes)
{
    THeard firstHeard, secondHeard;
    TGlobalNotify first;
    Listen(first, firstHeard);
    {
        TGlobalNotify second;
        Listen(second, secondHeard);
        TGlobalNotify::Raise(TGlobalNotify::TEvent::Activate);
        QWidget hinted;
        QStatusTipEvent tip(QStringLiteral("新しくラベルシートを開きます"));
        QApplication::sendEvent(&hinted, &tip);
        EXPECT_EQ(secondHeard.activate, 1);
        EXPECT_EQ(secondHeard.hints, QStringList{"新しくラベルシートを開きます"});
    }
    TGlobalNotify::Raise(TGlobalNotify::TEvent::Activate);
    EXPECT_EQ(firstHeard.activate, 2);
    EXPECT_EQ(secondHeard.activate, 1);  // gone: it hears nothing more
    EXPECT_EQ(firstHeard.hints, QStringList{"新しくラベルシートを開きます"});
}

TEST(GlobalNotify, IdleAndFocusChangesComeFromTheEventLoop)
{
    THeard heard;
    TGlobalNotify notify;
    Listen(notify, heard);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* a = new QLineEdit(&window);
    auto* b = new QLineEdit(&window);
    layout->addWidget(a);
    layout->addWidget(b);
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    a->setFocus();
    QApplication::processEvents();
    const int before = heard.controls;
    b->setFocus();
    QApplication::processEvents();
    EXPECT_GT(heard.controls, before);

    // Idle: the loop waits for its timer.
    const int idleBefore = heard.idle;
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_GT(heard.idle, idleBefore);
}

}  // namespace
}  // namespace kestrel
