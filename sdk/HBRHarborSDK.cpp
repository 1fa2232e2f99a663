#include "sdk/HBRHarborSDK.h"

#include "sdk/HBRHarborManager.h"

bool HBRDebugLogEnabled()
{
    auto manager = HBRHarborManager::existingSharedHarborManager();
    return manager && manager->isDebugLogEnabled() && !manager->isAppStoreEnvironment();
}

std::string HBRMethodName(const char* className, const char* function)
{
    return std::string("-[") + className + " " + function + "]";
}
