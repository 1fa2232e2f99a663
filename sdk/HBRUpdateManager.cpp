#include "sdk/HBRUpdateManager.h"

VX_REGISTER_CLASS(HBRUpdateManager);

void HBRUpdateManager::startManager()
{
    // FIXME: the version-list check, reminder and install link are not built yet.
    m_started = true;
}
