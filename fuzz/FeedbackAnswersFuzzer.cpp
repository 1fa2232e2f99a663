// The feedback service's answer to a refresh of the message list, whatever its body: the kit
// merges it into the list or reports an error, and every message it keeps can be shown.
#include "fuzz/FuzzCheck.h"
#include "fuzz/KitSession.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRFeedbackMessage.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KitSession session;
    auto manager = session.manager()->feedbackManager();
    manager->setServerURL(KitSession::kServerURL);
    manager->setToken(std::string("t0k3n"));
    session.answer(std::string(KitSession::kServerURL) + "api/2/apps/" + KitSession::kIdentifier + "/feedback",
        std::string(reinterpret_cast<const char*>(data), size));
    manager->fetchMessageUpdates();
    drainAll();
    for (uint32_t i = 0; i < manager->numberOfMessages(); ++i) {
        auto message = manager->messageAtIndex(i);
        fuzzCheck(bool(message), "a listed message is missing");
        fuzzCheck(message->text.has_value(), "a message from the service has no text");
    }
    return 0;
}
