#pragma once

#include <string>

// The application's icon at the sizes its Info.plist lists ("Icon", "Icon-72", "Icon-76", each
// also at double resolution): a blue tile with a white aircraft. Any thread.
namespace AppIconImages {

// Writes the icons into `directory`. False with a message on failure.
[[nodiscard]] bool writeAll(const std::string& directory, std::string& error);

} // namespace AppIconImages
