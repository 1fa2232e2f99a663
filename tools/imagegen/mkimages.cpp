// mkimages OUTPUT_DIR: draws every bundle image into OUTPUT_DIR and touches OUTPUT_DIR/.images.
#include "imagegen/AppIconImages.h"
#include "imagegen/BundleImages.h"
#include "imagegen/HarborImages.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    std::string error;
    if (!BundleImages::writeAll(argv[1], error)) {
        std::fprintf(stderr, "mkimages: %s\n", error.c_str());
        return 1;
    }
    if (!HarborImages::writeAll(std::string(argv[1]) + "/HarborSDKResources.bundle", error)) {
        std::fprintf(stderr, "mkimages: %s\n", error.c_str());
        return 1;
    }
    if (!AppIconImages::writeAll(argv[1], error)) {
        std::fprintf(stderr, "mkimages: %s\n", error.c_str());
        return 1;
    }
    std::ofstream(std::filesystem::path(argv[1]) / ".images") << BundleImages::allImages().size() << "\n";
    return 0;
}
