#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"

#include <cstdint>
#include <optional>
#include <string>

enum HBRFeedbackDeliveryStatus : int32_t {
    HBRFeedbackMessageStatusPending = 0, // a user message waiting to be sent
    HBRFeedbackMessageStatusInConflict = 1, // answered with HTTP 409; never sent again
    HBRFeedbackMessageStatusSendInProgress = 2, // the message of the request now running
    HBRFeedbackMessageStatusReceived = 3, // arrived from the service
    HBRFeedbackMessageStatusDelivered = 4, // a user message the service confirmed
    HBRFeedbackMessageStatusOrphaned = 5, // of a thread the service no longer knows
};

// One message of the feedback thread; archived under the keys "text", "userID", "name",
// "email", "date", "id", "status", "userMessage", "token". Main thread only.
class HBRFeedbackMessage : public NSObject, public NSCoding {
    VX_OBJECT(HBRFeedbackMessage, NSObject)
public:
    explicit HBRFeedbackMessage(Passkey key)
        : NSObject(key)
    {
    }
    // A new message dated now, pending, with id 0.
    static Ref<HBRFeedbackMessage> init();
    static Ref<HBRFeedbackMessage> initWithCoder(NSCoder& coder);
    void encodeWithCoder(NSCoder& coder) override;

    std::optional<std::string> text, userID, name, email, token;
    std::optional<double> date; // seconds since 1970
    int64_t id { 0 };
    int32_t status { HBRFeedbackMessageStatusPending };
    bool userMessage { false };
};
