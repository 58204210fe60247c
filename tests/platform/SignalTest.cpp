#include <gtest/gtest.h>

#include <QStringList>
#include <optional>

#include "platform/Signal.h"

namespace kestrel {
namespace {

TEST(Signal, ListenersHearInTheOrderTheyConnectedUntilTheirConnectionGoes)
{
    TSignal<int> changed;
    QStringList heard;
    TSignalConnection first = changed.Connect([&](int v) { heard << QStringLiteral("a%1").arg(v); });
    std::optional<TSignalConnection> second = changed.Connect([&](int v) { heard << QStringLiteral("b%1").arg(v); });
    changed.Emit(1);
    second.reset();
    changed.Emit(2);
    TSignalConnection moved = std::move(first);
    changed.Emit(3);
    moved.Disconnect();
    changed.Emit(4);
    EXPECT_EQ(heard, QStringList({"a1", "b1", "a2", "a3"}));
}

TEST(Signal, ConnectionsMadeOrEndedWhileEmittingTakeEffectSafely)
{
    TSignal<> changed;
    QStringList heard;
    std::vector<TSignalConnection> later;
    TSignalConnection quitter;
    TSignalConnection adder = changed.Connect([&] {
        heard << "adder";
        quitter.Disconnect();
        later.push_back(changed.Connect([&] { heard << "late"; }));
    });
    quitter = changed.Connect([&] { heard << "quitter"; });
    changed.Emit();
    EXPECT_EQ(heard, QStringList{"adder"}) << "ended before its turn, added after the emission began";
    heard.clear();
    later.clear();
    changed.Emit();
    EXPECT_EQ(heard, QStringList{"adder"});
}

}  // namespace
}  // namespace kestrel
