#include "gles/SoftwareRendering.h"

#include <cstdlib>

void preferSoftwareRendering()
{
    setenv("GALLIUM_DRIVER", "llvmpipe", 0);
}
