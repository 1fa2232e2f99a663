// mksounds OUTPUT_DIR: synthesises the bundle's sounds into OUTPUT_DIR.
#include "soundgen/BundleSounds.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    std::string error;
    if (!BundleSounds::writeAll(argv[1], error)) {
        std::fprintf(stderr, "mksounds: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
