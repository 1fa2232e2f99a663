#include "crashreporter/PMCrashMachO.h"
#include "crashreporter/tests/MachOFixture.h"

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

// Rewrites a 64-bit image in the other byte order: header, load commands and symbol table.
void swapImage(uint8_t* bytes)
{
    auto swap32 = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, bytes + at, 4);
        v = __builtin_bswap32(v);
        std::memcpy(bytes + at, &v, 4);
    };
    auto swap64 = [&](size_t at) {
        uint64_t v;
        std::memcpy(&v, bytes + at, 8);
        v = __builtin_bswap64(v);
        std::memcpy(bytes + at, &v, 8);
    };
    auto read32 = [&](size_t at) {
        uint32_t v;
        std::memcpy(&v, bytes + at, 4);
        return v;
    };
    uint32_t ncmds = read32(16);
    for (size_t at = 0; at < 32; at += 4)
        swap32(at);
    size_t command = 32;
    for (uint32_t i = 0; i < ncmds; ++i) {
        uint32_t cmd = read32(command), size = read32(command + 4);
        if (cmd == 0x19) {
            uint32_t nsects = read32(command + 64);
            swap32(command);
            swap32(command + 4);
            for (size_t at = command + 24; at < command + 56; at += 8)
                swap64(at);
            for (size_t at = command + 56; at < command + 72; at += 4)
                swap32(at);
            for (uint32_t k = 0; k < nsects; ++k) {
                size_t section = command + 72 + k * 80;
                swap64(section + 32);
                swap64(section + 40);
                for (size_t at = section + 48; at < section + 80; at += 4)
                    swap32(at);
            }
        } else {
            if (cmd == 0x2) {
                uint32_t symoff = read32(command + 8), nsyms = read32(command + 12);
                for (uint32_t k = 0; k < nsyms; ++k) {
                    size_t entry = symoff + k * 16;
                    swap32(entry);
                    uint16_t desc;
                    std::memcpy(&desc, bytes + entry + 6, 2);
                    desc = __builtin_bswap16(desc);
                    std::memcpy(bytes + entry + 6, &desc, 2);
                    swap64(entry + 8);
                }
            }
            for (size_t at = command; at < command + size; at += 4)
                swap32(at);
        }
        command += size;
    }
}

TEST(PMCrashMachO, ConvertsByteSwappedImages)
{
    MachOFixture native("flight-arm64.o");
    MachOFixture swapped("flight-arm64.o");
    swapImage(swapped.bytes());
    pmcrash_macho_t a, b;
    ASSERT_EQ(pmcrash_macho_init(&a, "a", native.header()), PMCRASH_ESUCCESS);
    ASSERT_EQ(pmcrash_macho_init(&b, "b", swapped.header()), PMCRASH_ESUCCESS);
    EXPECT_EQ(b.magic, 0xcffaedfeu);
    EXPECT_EQ(b.byteorder, pmcrash_byteorder_swapped());
    EXPECT_EQ(b.cpu_type, a.cpu_type);
    EXPECT_EQ(b.ncmds, a.ncmds);
    EXPECT_EQ(b.text_size, a.text_size);
    uint64_t inNative = 0, inSwapped = 0;
    ASSERT_EQ(pmcrash_macho_find_symbol_by_name(&a, "_flight_speed", &inNative), PMCRASH_ESUCCESS);
    ASSERT_EQ(pmcrash_macho_find_symbol_by_name(&b, "_flight_speed", &inSwapped), PMCRASH_ESUCCESS);
    EXPECT_EQ(inSwapped - swapped.header(), inNative - native.header());
    Named named;
    ASSERT_EQ(pmcrash_macho_find_symbol_by_pc(&b, inSwapped + 4, remember, &named), PMCRASH_ESUCCESS);
    EXPECT_EQ(named.name, "_flight_speed");
    pmcrash_memory_object_t textA, textB;
    ASSERT_EQ(pmcrash_macho_map_section(&a, "__DATA", "__data", &textA), PMCRASH_ESUCCESS);
    ASSERT_EQ(pmcrash_macho_map_section(&b, "__DATA", "__data", &textB), PMCRASH_ESUCCESS);
    EXPECT_EQ(textB.address - swapped.header(), textA.address - native.header());
    EXPECT_EQ(textB.length, textA.length);
    pmcrash_macho_free(&a);
    pmcrash_macho_free(&b);
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
