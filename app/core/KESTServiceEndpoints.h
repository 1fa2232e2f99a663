#pragma once

#include <string>

// The maker's addresses besides the flight-data service. Every service of the system is reached
// under the flight-data service's base address (which ends in "/"), so pointing the application
// at one server moves them all. Any thread.
namespace KESTServiceEndpoints {

// The account service: the base address followed by "auth/api/".
std::string accountServiceBaseURL();
// The product web site's base, ending in "/".
std::string productSiteBaseURL();
std::string forumURL();
// The support e-mail address.
std::string supportEmail();

} // namespace KESTServiceEndpoints
