#pragma once

#include "app/core/KESTMessagingManagerDelegate.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

class VNHTTPRequestOperationManager;

// The in-app message poller. Each poll asks the flight-data service whether there is a newer
// version page or a newer message for this build than the ones remembered in the user
// defaults ("kLastVersionUpdateSeen", "kkestravonLastMessage"); the first number heard of each
// kind is only remembered. A newer version page is shown with a close button usable at once, a
// newer message with one usable after 5 seconds; an announcement of nothing newer closes the
// poller. An empty or unusable answer and a failed request change nothing and tell the delegate
// nothing, so the poller serves the next activation. A poll in flight keeps the poller alive.
// Main thread only; answers are handled on the main queue.
class KESTMessagingManager : public NSObject {
    VX_OBJECT(KESTMessagingManager, NSObject)
public:
    explicit KESTMessagingManager(Passkey key)
        : NSObject(key)
    {
    }
    // The delegate is held weakly (through its owner).
    static Ref<KESTMessagingManager> initWithDelegate(KESTMessagingManagerDelegate* delegate, Weak<NSObject> owner);

    void fetchLatestMessage();
    // Tells the delegate that the poll is over, then drops it.
    void close();

    KESTMessagingManagerDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }
    int32_t lastMessageID() const { return m_lastMessageID; }
    int32_t seenUpdateTextFor() const { return m_seenUpdateTextFor; }

    // The poll's address for the stored numbers.
    std::string pollURL() const;
    // Handles a parsed answer against the numbers read when the poll was sent.
    void handleAnswer(const Value& answer, int32_t lastMessage, int32_t seenVersion);

private:
    void loadStoredNumbers();

    Ref<VNHTTPRequestOperationManager> m_manager;

    KESTMessagingManagerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    int32_t m_lastMessageID { 0 };
    int32_t m_seenUpdateTextFor { 0 };
};
