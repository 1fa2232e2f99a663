#pragma once

#include <optional>
#include <string>

// What the analytics requests say about the device. Main thread only (it reads the screen).
namespace DeviceInfo {

std::string udid(); // the shared analytics identifier
std::string device(); // the hardware model ("hw.machine")
std::string osVersion();
// The cellular provider's name; none on a device without telephony (the default here).
std::optional<std::string> carrier();
std::string resolution(); // "%gx%g": the screen in pixels
std::string locale();
std::string appVersion(); // the short version, else the build version
// The device as a JSON object ("_device", "_os", "_os_version", "_carrier" when known,
// "_resolution", "_locale", "_app_version").
std::string JSONText();
// JSONText() escaped for a URL argument.
std::string metrics();

// Test-only: the cellular provider the device reports (nullopt: none).
void setCarrierForTesting(std::optional<std::string> name);

} // namespace DeviceInfo
