#include <gtest/gtest.h>

#include "app/ExceptionReport.h"
#include "document/Notify.h"
#include "document/stream/Persistent.h"
#include "platform/Error.h"

namespace kestrel {
namespace {

struct TReceived {
    TPersistent* sender;
    QUuid kind;
};

class TRecorder {
public:
    TRecorder() : listener([this](TPersistent* s, const QUuid& k) { received.push_back({s, k}); }) {}
    std::vector<TReceived> received;
    TListener listener;
};

// A listener that refuses to leave.
class TStubbornListener : public TListener {
public:
    void DetachFrom(TBroadcaster&) override {}
};

TEST(Broadcaster, SendsInOrderWithoutDuplicatesAndClosesItsListeners)
{
    TCollection owner;  // any persistent object as the sender
    auto broadcaster = std::make_unique<TBroadcaster>(&owner);
    std::vector<int> order;
    TListener first([&](TPersistent*, const QUuid&) { order.push_back(1); });
    TListener second([&](TPersistent*, const QUuid&) { order.push_back(2); });
    TRecorder recorder;
    broadcaster->AddListener(first);
    broadcaster->AddListener(second);
    broadcaster->AddListener(first);
    recorder.listener.ListenTo(*broadcaster);
    EXPECT_EQ(broadcaster->ListenerCount(), 3);

    broadcaster->Broadcast(nullptr, NotifyModified);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_TRUE(first.IsListeningTo(*broadcaster));

    broadcaster.reset();
    ASSERT_EQ(recorder.received.size(), 2u);
    EXPECT_EQ(recorder.received[1].kind, NotifyBroadcasterClosing);
    EXPECT_EQ(recorder.received[1].sender, &owner);
    EXPECT_EQ(first.BroadcasterCount(), 0);
    EXPECT_EQ(recorder.listener.BroadcasterCount(), 0);
}

TEST(Broadcaster, ADestroyedListenerLeavesEveryBroadcaster)
{
    TBroadcaster a;
    TBroadcaster b;
    {
        TRecorder recorder;
        recorder.listener.ListenTo(a);
        recorder.listener.ListenTo(b);
        EXPECT_EQ(a.ListenerCount(), 1);
    }
    EXPECT_EQ(a.ListenerCount(), 0);
    EXPECT_EQ(b.ListenerCount(), 0);
    a.Broadcast(nullptr, NotifyModified);  // no dangling listener to reach
}

TEST(Broadcaster, AListenerLeavingDuringANotificationIsNotCalledAgain)
{
    TBroadcaster broadcaster;
    int laterCalls = 0;
    TListener later([&](TPersistent*, const QUuid&) { ++laterCalls; });
    TListener leaver([&](TPersistent*, const QUuid&) { broadcaster.RemoveListener(later); });
    broadcaster.AddListener(leaver);
    broadcaster.AddListener(later);
    broadcaster.Broadcast(nullptr, NotifySelectionChanged);
    EXPECT_EQ(laterCalls, 0);
}

TEST(Broadcaster, AListenerThatDoesNotLeaveIsAnInfiniteLoopError)
{
    TStubbornListener stubborn;
    {
        TBroadcaster broadcaster;
        broadcaster.AddListener(stubborn);
        try {
            broadcaster.Close();
            FAIL() << "Close should raise";
        } catch (const std::logic_error& e) {
            EXPECT_STREQ(e.what(), "fall into infinity loop.");
        }
        int reports = 0;
        TExceptionHandler previous = SetExceptionHandler([&](const std::exception&) { ++reports; });
        {
            TBroadcaster other;
            other.AddListener(stubborn);
        }  // reported, and the listener forgets the broadcaster anyway
        SetExceptionHandler(previous);
        EXPECT_EQ(reports, 1);
        EXPECT_EQ(stubborn.BroadcasterCount(), 1);
    }
    EXPECT_EQ(stubborn.BroadcasterCount(), 0);
}

}  // namespace
}  // namespace kestrel
