#include "crashreporter/PMCrashObjC.h"
#include "crashreporter/tests/MachOFixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <sys/mman.h>
#include <vector>

namespace {

// What the runtime leaves in memory once a class is in use: its data pointer leads to
// read-write data flagged as realized, which points at the compiled read-only data.
class Realizer {
public:
    Realizer()
    {
        m_page = static_cast<uint8_t*>(
            mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0));
    }
    ~Realizer() { munmap(m_page, 4096); }

    void realize(const pmcrash_macho_t& image, uint64_t cls)
    {
        size_t p = image.m64 ? 8 : 4;
        uint8_t* dataField = reinterpret_cast<uint8_t*>(cls + 4 * p);
        uint64_t ro = 0;
        std::memcpy(&ro, dataField, p);
        uint8_t* rw = m_page + m_used;
        m_used += 16;
        uint32_t flags = 0x80000000u;
        std::memcpy(rw, &flags, 4);
        std::memcpy(rw + 8, &ro, p); // flags, version, then the read-only data pointer
        uint64_t address = reinterpret_cast<uint64_t>(rw);
        std::memcpy(dataField, &address, p);
    }

    // Realizes every class of the image's class list and its metaclass.
    void realizeAll(const pmcrash_macho_t& image)
    {
        size_t p = image.m64 ? 8 : 4;
        pmcrash_memory_object_t list;
        ASSERT_EQ(pmcrash_macho_map_section(&image, "__DATA", "__objc_classlist", &list), PMCRASH_ESUCCESS);
        for (uint64_t at = 0; at < list.length; at += p) {
            uint64_t cls = 0;
            std::memcpy(&cls, reinterpret_cast<void*>(list.address + at), p);
            uint64_t isa = 0;
            std::memcpy(&isa, reinterpret_cast<void*>(cls), p);
            realize(image, cls);
            realize(image, isa);
        }
    }

    uint8_t* scratch() { return m_page + 2048; }

private:
    uint8_t* m_page;
    size_t m_used = 0;
};

void collect(bool isClassMethod, const char* className, size_t classLength, const char* method, size_t methodLength,
    uint64_t, void* context)
{
    static_cast<std::set<std::string>*>(context)->insert(std::string(isClassMethod ? "+[" : "-[")
        + std::string(className, classLength) + " " + std::string(method, methodLength) + "]");
}

struct Found {
    uint64_t start = 0;
    std::string name;
};

void remember(uint64_t start, const char* name, void* context)
{
    auto* found = static_cast<Found*>(context);
    found->start = start;
    found->name = name;
}

uint64_t symbol(const pmcrash_macho_t& image, const char* name)
{
    uint64_t address = 0;
    EXPECT_EQ(pmcrash_macho_find_symbol_by_name(&image, name, &address), PMCRASH_ESUCCESS) << name;
    return address;
}

TEST(PMCrashObjC, NamesFramesFromRuntimeMetadata)
{
    for (const char* file : { "radar-arm64.o", "radar-armv7.o" }) {
        SCOPED_TRACE(file);
        MachOFixture fixture(file);
        pmcrash_macho_t image;
        ASSERT_EQ(pmcrash_macho_init(&image, file, fixture.header()), PMCRASH_ESUCCESS);
        pmcrash_objc_cache_t cache;
        pmcrash_objc_cache_init(&cache);

        // Unrealized classes, as compiled, are skipped without failing the walk; their
        // categories with them.
        std::set<std::string> methods;
        EXPECT_EQ(pmcrash_objc_parse(&image, &cache, collect, &methods), PMCRASH_ESUCCESS);
        EXPECT_TRUE(methods.empty());

        Realizer realizer;
        realizer.realizeAll(image);
        pmcrash_objc_cache_free(&cache);
        pmcrash_objc_cache_init(&cache);
        EXPECT_EQ(pmcrash_objc_parse(&image, &cache, collect, &methods), PMCRASH_ESUCCESS);
        EXPECT_EQ(methods,
            (std::set<std::string> { "-[Radar sweep]", "-[Radar setRange:]", "+[Radar sharedRadar]",
                "-[Radar trackTarget:]", "+[Radar maximumTargets]" }));

        uint64_t setRange = symbol(image, "-[Radar setRange:]");
        uint64_t maximum = symbol(image, "+[Radar(Tracking) maximumTargets]");
        uint64_t function = symbol(image, "_radar_c_function");
        struct Case {
            const char* name;
            uint32_t strategy;
            uint64_t address;
            const char* expected;
            uint64_t start;
        };
        const Case cases[] = {
            { "instance method by metadata", 2, (setRange & ~1ull) + 2, "-[Radar setRange:]", setRange },
            { "category class method by metadata", 2, (maximum & ~1ull) + 2, "+[Radar maximumTargets]", maximum },
            { "function after the methods, metadata only", 2, (function & ~1ull) + 2, "+[Radar maximumTargets]",
                maximum },
            { "function by the symbol table", 1, (function & ~1ull) + 2, "_radar_c_function", function },
            { "nearer symbol wins over the method", 3, (function & ~1ull) + 2, "_radar_c_function", function },
            { "equal starts go to the method", 3, (maximum & ~1ull) + 2, "+[Radar maximumTargets]", maximum },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            Found found;
            ASSERT_EQ(pmcrash_find_symbol(&image, c.strategy, &cache, c.address, remember, &found), PMCRASH_ESUCCESS);
            EXPECT_EQ(found.name, c.expected);
            EXPECT_EQ(found.start, c.start);
        }
        Found none;
        EXPECT_EQ(pmcrash_find_symbol(&image, 0, &cache, function, remember, &none), PMCRASH_ENOTFOUND);
        pmcrash_objc_cache_free(&cache);
        pmcrash_macho_free(&image);
    }
}

TEST(PMCrashObjC, LongClassNamesAreCutToTheNameBuffer)
{
    MachOFixture fixture("radar-arm64.o");
    pmcrash_macho_t image;
    ASSERT_EQ(pmcrash_macho_init(&image, "radar", fixture.header()), PMCRASH_ESUCCESS);
    Realizer realizer;
    realizer.realizeAll(image);
    // Point the class's read-only name at a name of 300 characters.
    char* longName = reinterpret_cast<char*>(realizer.scratch());
    std::memset(longName, 'R', 300);
    longName[300] = '\0';
    uint64_t ro = symbol(image, "__OBJC_CLASS_RO_$_Radar");
    uint64_t nameAddress = reinterpret_cast<uint64_t>(longName);
    std::memcpy(reinterpret_cast<void*>(ro + 24), &nameAddress, 8);

    pmcrash_objc_cache_t cache;
    pmcrash_objc_cache_init(&cache);
    Found found;
    ASSERT_EQ(
        pmcrash_find_symbol(&image, 2, &cache, symbol(image, "-[Radar sweep]"), remember, &found), PMCRASH_ESUCCESS);
    EXPECT_EQ(found.name.size(), 255u);
    EXPECT_EQ(found.name, "-[" + std::string(253, 'R'));
    pmcrash_objc_cache_free(&cache);
    pmcrash_macho_free(&image);
}

// Metadata of the older runtime lives in module records; it is walked when an image has them.
TEST(PMCrashObjC, WalksLegacyModuleRecords)
{
    MachOFixture fixture("radar-legacy-i386.o");
    pmcrash_macho_t image;
    ASSERT_EQ(pmcrash_macho_init(&image, "radar", fixture.header()), PMCRASH_ESUCCESS);
    // Loaded classes point at one method list each; the runtime marks them so (0x4000).
    for (const char* section : { "__class", "__meta_class" }) {
        pmcrash_memory_object_t records;
        ASSERT_EQ(pmcrash_macho_map_section(&image, "__OBJC", section, &records), PMCRASH_ESUCCESS);
        for (uint64_t at = 0; at + 40 <= records.length; at += 40)
            *reinterpret_cast<uint32_t*>(records.address + at + 16) |= 0x4000;
    }
    pmcrash_objc_cache_t cache;
    pmcrash_objc_cache_init(&cache);
    std::set<std::string> methods;
    EXPECT_EQ(pmcrash_objc_parse(&image, &cache, collect, &methods), PMCRASH_ESUCCESS);
    EXPECT_EQ(methods, (std::set<std::string> { "-[Radar sweep]", "-[Radar setRange:]", "+[Radar sharedRadar]" }));
    Found found;
    uint64_t sweep = symbol(image, "-[Radar sweep]");
    ASSERT_EQ(pmcrash_find_symbol(&image, 2, &cache, sweep + 1, remember, &found), PMCRASH_ESUCCESS);
    EXPECT_EQ(found.name, "-[Radar sweep]");
    EXPECT_EQ(pmcrash_objc_parse(&image, nullptr, collect, &methods), PMCRASH_EACCESS);
    pmcrash_objc_cache_free(&cache);
    pmcrash_macho_free(&image);
}

} // namespace
