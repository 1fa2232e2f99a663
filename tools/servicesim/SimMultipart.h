#pragma once

#include "servicesim/ServiceSimulator.h"

#include <optional>
#include <string>
#include <vector>

// A forgiving reader of multipart/form-data bodies. Clients of the simulated services write
// part headers with a trailing ";" after the name, "Content-Type: text", bare LF line ends or no
// preamble; all of that is accepted. Parts without a name are kept with an empty name. Returns
// nothing when the content type has no boundary. Any thread.
namespace SimMultipart {

std::string boundaryOf(const std::string& contentType);
std::vector<SimRequest::Part> parse(const std::string& contentType, const std::string& body);

// Reads a multipart/form-data body as a service holding to the standard does: CRLF line ends, a
// boundary of 1 to 70 characters, every part with its headers ended by an empty line and a
// form-data disposition with a name, and the closing delimiter present. The kit's trailing ";"
// after the name and its bare "Content-Type: text" are accepted. nullopt for anything else.
std::optional<std::vector<SimRequest::Part>> parseStrict(const std::string& contentType, const std::string& body);

} // namespace SimMultipart
