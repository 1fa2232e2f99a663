#include "app/core/KESTDetailServiceURLs.h"

#include "app/core/KESTLiveDataManager.h"

namespace {

std::optional<std::string> s_photoSearch;
std::optional<std::string> s_imageServer;
std::optional<std::string> s_webSite;

} // namespace

std::string KESTDetailServiceURLs::photoSearchBaseURL()
{
    return s_photoSearch.value_or(KESTLiveDataManager::serviceBaseURL());
}

void KESTDetailServiceURLs::setPhotoSearchBaseURL(std::optional<std::string> base)
{
    s_photoSearch = std::move(base);
}

std::string KESTDetailServiceURLs::imageServerBaseURL()
{
    return s_imageServer.value_or(KESTLiveDataManager::serviceBaseURL());
}

void KESTDetailServiceURLs::setImageServerBaseURL(std::optional<std::string> base)
{
    s_imageServer = std::move(base);
}

std::string KESTDetailServiceURLs::webSiteURL()
{
    return s_webSite.value_or("https://volantrix.example");
}

void KESTDetailServiceURLs::setWebSiteURL(std::optional<std::string> site)
{
    s_webSite = std::move(site);
}

std::string KESTDetailServiceURLs::webDomain()
{
    return "volantrix.example";
}
