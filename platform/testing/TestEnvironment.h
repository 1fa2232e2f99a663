#pragma once

#include <string>

// The process-wide environment every test program runs in: a temporary sandbox root for the
// whole program (removed at the end), the main bundle at $VX_RESOURCES when set, the random
// seam on the system generator, and the log going to standard error. Installed by the testing
// main before the first test; each fixture restores what it changes.
namespace TestEnvironment {
void install();
void uninstall();
// The sandbox root made by install(); empty before it.
std::string sandboxRoot();
} // namespace TestEnvironment
