#pragma once

// Asks Mesa for its software rasteriser (llvmpipe) unless GALLIUM_DRIVER already names a driver,
// so every machine renders the same pixels. Call before the first GL context is made; test and
// benchmark programs do, the application does not.
void preferSoftwareRendering();
