#include "TestEnvironment.h"

namespace TestEnvironment {

void install() { }

void uninstall() { }

} // namespace TestEnvironment
