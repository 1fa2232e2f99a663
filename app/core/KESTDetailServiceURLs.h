#pragma once

#include <optional>
#include <string>

// The addresses of the services the plane detail screens reach besides the flight-data
// service: the photo search, the image server, the product web site (flight pages) and the
// maker's domain named in photo credits. Each ends in "/" where it is a base. Until set, the
// photo search and the image server are the flight-data service's base address, which serves
// them too. Main thread only.
class KESTDetailServiceURLs {
public:
    static std::string photoSearchBaseURL();
    static void setPhotoSearchBaseURL(std::optional<std::string> base);
    static std::string imageServerBaseURL();
    static void setImageServerBaseURL(std::optional<std::string> base);
    // The product web site, without a trailing "/"; flight pages are "<site>/flight/<number>".
    static std::string webSiteURL();
    static void setWebSiteURL(std::optional<std::string> site);
    // The maker's web domain, as credits name it.
    static std::string webDomain();
};
