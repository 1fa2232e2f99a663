#pragma once

#include <string>
#include <string_view>

// Values put into request addresses. Whatever comes from the live feed or a service (hex
// addresses, flight numbers, registrations, airline and type codes, flight ids, the shared
// device identifier) is percent-encoded before it goes into a query or a path, so that "&",
// "=", "#", "/", "?", "%", "+" or a space in it cannot add fields, end the query or the path, or
// change what the server reads. Any thread.
namespace KESTURLEscaping {

// The value as UTF-8 with every byte outside A-Z a-z 0-9 "-" "_" "." "~" written as "%XX".
std::string escapedValue(std::string_view value);

} // namespace KESTURLEscaping
