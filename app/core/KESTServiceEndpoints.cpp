#include "app/core/KESTServiceEndpoints.h"

#include "app/core/KESTLiveDataManager.h"

namespace KESTServiceEndpoints {

std::string accountServiceBaseURL()
{
    return KESTLiveDataManager::serviceBaseURL() + "auth/api/";
}

std::string productSiteBaseURL()
{
    return KESTLiveDataManager::serviceBaseURL();
}

std::string forumURL()
{
    return KESTLiveDataManager::serviceBaseURL() + "forum/";
}

std::string supportEmail()
{
    return "support@kestravon.com";
}

} // namespace KESTServiceEndpoints
