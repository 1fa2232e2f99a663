#include "sdk/HBRStoreUpdateManager.h"

VX_REGISTER_CLASS(HBRStoreUpdateManager);

void HBRStoreUpdateManager::startManager()
{
    // FIXME: the store lookup and its alert are not built yet; the application never enables it.
}
