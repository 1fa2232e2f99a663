#pragma once

// The process-wide environment every test program runs in: a temporary sandbox root, the
// en_US locale and the UTC time zone, and the log going to standard error. Installed by the
// testing main before the first test; each fixture restores what it changes.
namespace TestEnvironment {
void install();
void uninstall();
} // namespace TestEnvironment
