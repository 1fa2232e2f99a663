#include "MachOFixture.h"
#include "PMCrashMachO.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct Named {
    uint64_t address = 0;
    std::string name;
};

void remember(uint64_t address, const char* name, void* context)
{
    auto* named = static_cast<Named*>(context);
    named->address = address;
    named->name = name;
}

TEST(PMCrashMachO, ReadsGenuineObjectFiles)
{
    struct Case {
        const char* file;
        int32_t cpuType;
        int32_t cpuSubtype;
        bool is64;
        uint64_t speedOffset; // _flight_speed, from the nm listing
        uint64_t thumbBit;
    };
    const Case cases[] = {
        { "flight-arm64.o", 0x0100000C, 0, true, 0x1c, 0 },
        { "flight-armv7.o", 12, 9, false, 0x12, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        MachOFixture fixture(c.file);
        pmcrash_macho_t image;
        ASSERT_EQ(pmcrash_macho_init(&image, "/var/mobile/flight", fixture.header()), PMCRASH_ESUCCESS);
        EXPECT_EQ(image.cpu_type, c.cpuType);
        EXPECT_EQ(image.cpu_subtype, c.cpuSubtype);
        EXPECT_EQ(image.m64, c.is64);
        EXPECT_EQ(image.filetype, uint32_t(PMCRASH_MH_OBJECT));
        EXPECT_STREQ(image.path, "/var/mobile/flight");

        uint64_t altitude = 0, speed = 0;
        ASSERT_EQ(pmcrash_macho_find_symbol_by_name(&image, "_flight_altitude", &altitude), PMCRASH_ESUCCESS);
        ASSERT_EQ(pmcrash_macho_find_symbol_by_name(&image, "_flight_speed", &speed), PMCRASH_ESUCCESS);
        EXPECT_EQ(speed - (altitude & ~uint64_t(1)), c.speedOffset + c.thumbBit);
        EXPECT_EQ(pmcrash_macho_find_symbol_by_name(&image, "_no_such_symbol", &speed), PMCRASH_ENOTFOUND);
        EXPECT_TRUE(pmcrash_macho_contains_address(&image, altitude & ~uint64_t(1)));
        EXPECT_FALSE(pmcrash_macho_contains_address(&image, fixture.header() - 1));

        // An address inside a function names it, with its start (Thumb bit included); an
        // address equal to a symbol's value is that symbol.
        Named named;
        ASSERT_EQ(
            pmcrash_macho_find_symbol_by_pc(&image, (speed & ~uint64_t(1)) + 4, remember, &named), PMCRASH_ESUCCESS);
        EXPECT_EQ(named.name, "_flight_speed");
        EXPECT_EQ(named.address, speed);
        ASSERT_EQ(pmcrash_macho_find_symbol_by_pc(&image, altitude & ~uint64_t(1), remember, &named), PMCRASH_ESUCCESS);
        EXPECT_EQ(named.name, "_flight_altitude");
        EXPECT_EQ(pmcrash_macho_find_symbol_by_pc(&image, (altitude & ~uint64_t(1)) - 1, remember, &named),
            PMCRASH_ENOTFOUND);

        pmcrash_memory_object_t text;
        ASSERT_EQ(pmcrash_macho_map_section(&image, "__TEXT", "__text", &text), PMCRASH_ESUCCESS);
        EXPECT_EQ(text.address, altitude & ~uint64_t(1));
        EXPECT_EQ(pmcrash_macho_map_section(&image, "__DATA", "__nothing", &text), PMCRASH_ENOTFOUND);
        uint8_t uuid[16];
        EXPECT_FALSE(pmcrash_macho_uuid(&image, uuid)); // object files carry no LC_UUID
        pmcrash_macho_free(&image);
    }
}

// Damaged headers and load commands give errors instead of loops or reads out of range.
TEST(PMCrashMachO, RefusesDamagedImages)
{
    struct Case {
        const char* name;
        std::function<void(MachOFixture&)> damage;
        int initResult;
        int symbolResult; // of a symbol lookup when init succeeded
    };
    auto put32 = [](MachOFixture& f, size_t offset, uint32_t value) { std::memcpy(f.bytes() + offset, &value, 4); };
    // flight-arm64.o: header 32 bytes; the segment command first, LC_SYMTAB later.
    const Case cases[] = {
        { "unknown magic", [&](MachOFixture& f) { put32(f, 0, 0x12345678); }, PMCRASH_EINVAL, 0 },
        { "load command of size 0", [&](MachOFixture& f) { put32(f, 32 + 4, 0); }, PMCRASH_EINVAL, 0 },
        { "commands past the end of the file", [&](MachOFixture& f) { put32(f, 20, 0x100000); }, PMCRASH_EINVAL, 0 },
        { "symbol table past the end",
            [&](MachOFixture& f) {
                // Walk to LC_SYMTAB and give it an impossible count.
                size_t at = 32;
                for (;;) {
                    uint32_t cmd, size;
                    std::memcpy(&cmd, f.bytes() + at, 4);
                    std::memcpy(&size, f.bytes() + at + 4, 4);
                    if (cmd == 2)
                        break;
                    at += size;
                }
                put32(f, at + 12, 0x10000000);
            },
            PMCRASH_ESUCCESS, PMCRASH_EINTERNAL },
        { "section count that overflows its command", [&](MachOFixture& f) { put32(f, 32 + 64, 0x7fffffff); },
            PMCRASH_ESUCCESS, PMCRASH_ESUCCESS },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MachOFixture fixture("flight-arm64.o");
        c.damage(fixture);
        pmcrash_macho_t image;
        ASSERT_EQ(pmcrash_macho_init(&image, "x", fixture.header()), c.initResult);
        if (c.initResult != PMCRASH_ESUCCESS)
            continue;
        Named named;
        EXPECT_EQ(pmcrash_macho_find_symbol_by_pc(&image, fixture.header() + 0x400, remember, &named), c.symbolResult);
        if (std::string(c.name).find("section count") != std::string::npos) {
            pmcrash_memory_object_t section;
            EXPECT_EQ(pmcrash_macho_map_section(&image, "__TEXT", "__text", &section), PMCRASH_EINVAL);
        }
        pmcrash_macho_free(&image);
    }
}

TEST(PMCrashMachO, MemoryObjectsCoverOnlyReadableMemory)
{
    MachOFixture fixture("flight-arm64.o");
    pmcrash_memory_object_t object;
    // The range runs into the guard page: required whole it fails, otherwise the prefix is kept.
    EXPECT_EQ(pmcrash_memory_object_init(&object, fixture.end() - 16, 64, true), PMCRASH_ENOMEM);
    ASSERT_EQ(pmcrash_memory_object_init(&object, fixture.end() - 16, 64, false), PMCRASH_ESUCCESS);
    EXPECT_EQ(object.length, 16u);
    EXPECT_TRUE(pmcrash_memory_object_verify(&object, fixture.end() - 16, 8, 8));
    EXPECT_FALSE(pmcrash_memory_object_verify(&object, fixture.end() - 16, 8, 9));
    EXPECT_FALSE(pmcrash_memory_object_verify(&object, fixture.end() - 16, -1, 1));
    EXPECT_FALSE(pmcrash_memory_object_verify(&object, UINTPTR_MAX, 2, 1));
    uint32_t value;
    EXPECT_EQ(pmcrash_memory_object_read_u32(&object, pmcrash_byteorder_native(), fixture.end() - 16, 16, &value),
        PMCRASH_EINVAL);
    EXPECT_EQ(pmcrash_task_read_at(UINTPTR_MAX - 4, 8, &value, 4), PMCRASH_ENOMEM);
    EXPECT_EQ(pmcrash_task_read_at(fixture.end(), 0, &value, 4), PMCRASH_ENOTFOUND);
    EXPECT_EQ(pmcrash_strncmp("__TEXT_EXEC", "__TEXT", 6), 0);
    EXPECT_STREQ(pmcrash_async_strerror(10), "Unhandled error code");
    EXPECT_STREQ(pmcrash_async_strerror(9), "The input data is in an unknown or invalid format.");
}

} // namespace
