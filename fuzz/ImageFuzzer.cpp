// Image decoding: PNG, JPEG and GIF data decode within the bitmap limits or not at all.
#include "fuzz/FuzzCheck.h"
#include "graphics/CGImage.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto image = CGImageCreateWithEncodedData(std::vector<uint8_t>(data, data + size));
    if (image)
        fuzzCheck(CGImageDecodableSize(CGImageGetWidth(image), CGImageGetHeight(image)),
            "an image was decoded beyond the bitmap limits");
    return 0;
}
