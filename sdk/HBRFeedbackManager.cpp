#include "sdk/HBRFeedbackManager.h"

VX_REGISTER_CLASS(HBRFeedbackManager);

void HBRFeedbackManager::startManager()
{
    if (m_disableFeedbackManager)
        return;
    // FIXME: the message store, refresh rules and service protocol are not built yet.
    m_started = true;
}
