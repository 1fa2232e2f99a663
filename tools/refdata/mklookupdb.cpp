// mklookupdb DATA_DIR OUTPUT_DIR
// Builds OUTPUT_DIR/vxlookup.db and OUTPUT_DIR/airports.json from the reference tables.
#include "refdata/BundleDataWriter.h"
#include "refdata/ReferenceData.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA_DIR OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    std::string error;
    auto data = ReferenceData::load(argv[1], &error);
    if (!data) {
        std::fprintf(stderr, "mklookupdb: %s\n", error.c_str());
        return 1;
    }
    std::filesystem::path out(argv[2]);
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (!BundleDataWriter::writeLookupDatabase(*data, (out / "vxlookup.db").string(), error)
        || !BundleDataWriter::writeAirportList(*data, (out / "airports.json").string(), error)) {
        std::fprintf(stderr, "mklookupdb: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
