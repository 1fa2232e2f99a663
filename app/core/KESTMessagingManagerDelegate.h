#pragma once

#include "foundation/Ref.h"

#include <cstdint>

class NSURL;

// What the in-app message poller asks of its delegate (the application delegate).
class KESTMessagingManagerDelegate {
public:
    virtual ~KESTMessagingManagerDelegate() = default;
    // Show the page at the URL, with a close button when asked, usable after `timeOut` seconds.
    virtual void messagingManageRequestedLaunchOfURLWithCloseButtonAndTimeOut(
        const Ref<NSURL>& url, bool withCloseButton, int32_t timeOut)
        = 0;
    // The poll is over and showed nothing; the poller may be released.
    virtual void messagingManagerDidClose() = 0;
};
