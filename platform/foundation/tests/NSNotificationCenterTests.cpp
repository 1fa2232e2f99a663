#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSThread.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

class Listener : public NSObject {
    VX_OBJECT(Listener, NSObject)

public:
    explicit Listener(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<Listener> make() { return NSObject::make<Listener>(); }
    void heard(const Ref<NSNotification>& note) { received.push_back(note->name()); }
    std::vector<std::string> received;
};

class NSNotificationCenterTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        drainAll();
        resetForTesting();
    }

    ScopedVirtualClock m_clock;
    Ref<NSNotificationCenter> m_center = NSNotificationCenter::init();
};

} // namespace

TEST_F(NSNotificationCenterTest, DeliveryFiltersByNameAndSender)
{
    auto sender = NSObject::init();
    auto other = NSObject::init();
    struct Case {
        const char* label;
        std::optional<std::string> name;
        Ref<NSObject> object;
        int expected; // of the four posts below
    };
    const Case cases[] = {
        { "any name, any sender", std::nullopt, nullptr, 4 },
        { "name A, any sender", "A", nullptr, 3 },
        { "any name, from sender", std::nullopt, sender, 2 },
        { "name A from sender", "A", sender, 1 },
        { "name B from other", "B", other, 0 },
    };
    std::vector<Ref<Listener>> listeners;
    for (auto& c : cases) {
        auto listener = Listener::make();
        m_center->addObserver(listener, &Listener::heard, c.name, c.object);
        listeners.push_back(listener);
    }
    m_center->postNotificationName("A", sender);
    m_center->postNotificationName("A", other);
    m_center->postNotificationName("A", nullptr);
    m_center->postNotificationName("B", sender, Value::dictionary({ { Value("k"), Value(1) } }));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].label);
        EXPECT_EQ(static_cast<int>(listeners[i]->received.size()), cases[i].expected);
    }
}

TEST_F(NSNotificationCenterTest, RemovingAnObserverKeepsTheBlockTokensItHolds)
{
    auto screen = Listener::make();
    int blockCalls = 0;
    m_center->addObserver(screen, &Listener::heard, "A", nullptr);
    m_center->addObserver(screen, &Listener::heard, "B", nullptr);
    auto token = m_center->addObserverForName("A", nullptr, nullptr, [&](auto&) { ++blockCalls; });
    screen->setAssociatedObject(&blockCalls, Value(token)); // the screen holds its token

    m_center->removeObserver(screen, "B", nullptr);
    m_center->postNotificationName("B", nullptr);
    EXPECT_TRUE(screen->received.empty());

    m_center->removeObserver(screen);
    m_center->postNotificationName("A", nullptr);
    EXPECT_TRUE(screen->received.empty());
    EXPECT_EQ(blockCalls, 1);

    m_center->removeObserver(token);
    m_center->postNotificationName("A", nullptr);
    EXPECT_EQ(blockCalls, 1);
}

TEST_F(NSNotificationCenterTest, DestroyedAndRemovedObserversAreNotCalled)
{
    auto gone = Listener::make();
    m_center->addObserver(gone, &Listener::heard, "A", nullptr);
    gone = nullptr;

    // An observer removed by an earlier observer of the same post is not called.
    auto late = Listener::make();
    m_center->addObserverForName("A", nullptr, nullptr, [&](auto&) { m_center->removeObserver(late); });
    m_center->addObserver(late, &Listener::heard, "A", nullptr);
    m_center->postNotificationName("A", nullptr);
    EXPECT_TRUE(late->received.empty());
}

TEST_F(NSNotificationCenterTest, BlocksWithAQueueAreDeliveredThereAndOthersOnThePostingThread)
{
    auto background = NSOperationQueue::init();
    std::vector<std::string> mainDeliveries;
    std::atomic<bool> backgroundDelivered { false };
    bool syncOnPoster = false;
    m_center->addObserverForName("A", nullptr, NSOperationQueue::mainQueue(), [&](const Ref<NSNotification>& note) {
        mainDeliveries.push_back(note->name() + (NSThread::isMainThread() ? " on main" : " elsewhere"));
    });
    m_center->addObserverForName(
        "A", nullptr, background, [&](auto&) { backgroundDelivered = !NSThread::isMainThread(); });
    m_center->addObserverForName("A", nullptr, nullptr, [&](auto&) { syncOnPoster = NSThread::isMainThread(); });

    m_center->postNotificationName("A", nullptr);
    EXPECT_TRUE(syncOnPoster);
    EXPECT_TRUE(mainDeliveries.empty());
    drainAll();
    EXPECT_EQ(mainDeliveries, (std::vector<std::string> { "A on main" }));
    EXPECT_TRUE(backgroundDelivered);
}
