#pragma once

#include "servicesim/ServiceSimulator.h"

#include <string>
#include <vector>

// A forgiving reader of multipart/form-data bodies. Clients of the simulated services write
// part headers with a trailing ";" after the name, "Content-Type: text", bare LF line ends or no
// preamble; all of that is accepted. Parts without a name are kept with an empty name. Returns
// nothing when the content type has no boundary. Any thread.
namespace SimMultipart {

std::string boundaryOf(const std::string& contentType);
std::vector<SimRequest::Part> parse(const std::string& contentType, const std::string& body);

} // namespace SimMultipart
