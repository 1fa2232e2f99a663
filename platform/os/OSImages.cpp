#include "os/OSImages.h"

#include "os/OSMemory.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <elf.h>
#include <link.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace vxos {

void forEachLoadedImage(const std::function<void(uintptr_t headerAddress, const char* path)>& visit)
{
    struct Found {
        uintptr_t header;
        std::string path;
    };
    std::vector<Found> found;
    dl_iterate_phdr(
        [](struct dl_phdr_info* info, size_t, void* data) -> int {
            auto* list = static_cast<std::vector<Found>*>(data);
            uintptr_t header = 0;
            bool haveHeader = false;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& ph = info->dlpi_phdr[i];
                if (ph.p_type == PT_LOAD && ph.p_offset == 0) {
                    header = info->dlpi_addr + ph.p_vaddr;
                    haveHeader = true;
                    break;
                }
            }
            if (!haveHeader)
                return 0;
            std::string path = info->dlpi_name ? info->dlpi_name : "";
            if (path.empty()) {
                char exe[PATH_MAX];
                ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
                if (n > 0)
                    path.assign(exe, static_cast<size_t>(n));
            }
            list->push_back({ header, path });
            return 0;
        },
        &found);
    for (const auto& image : found)
        visit(image.header, image.path.c_str());
}

namespace {

template <typename T> bool readValue(uintptr_t address, T* out)
{
    return readMemory(address, out, sizeof(T));
}

bool addOverflows(uint64_t a, uint64_t b, uint64_t* sum)
{
    return __builtin_add_overflow(a, b, sum);
}

// Number of symbols described by a GNU hash table: one past the highest chain entry.
bool gnuHashSymbolCount(uintptr_t table, uint32_t* count)
{
    uint32_t header[4];
    if (!readMemory(table, header, sizeof(header)))
        return false;
    uint32_t bucketCount = header[0], symbolOffset = header[1], bloomSize = header[2];
    if (bucketCount == 0 || bucketCount > (1u << 24) || bloomSize > (1u << 24))
        return false;
    uintptr_t buckets = table + 16 + uintptr_t(bloomSize) * sizeof(uint64_t);
    uintptr_t chains = buckets + uintptr_t(bucketCount) * 4;
    uint32_t highest = 0;
    for (uint32_t i = 0; i < bucketCount; ++i) {
        uint32_t bucket;
        if (!readValue(buckets + uintptr_t(i) * 4, &bucket))
            return false;
        if (bucket > highest)
            highest = bucket;
    }
    if (highest < symbolOffset) {
        *count = symbolOffset;
        return true;
    }
    for (uint32_t index = highest; index - highest < (1u << 24); ++index) {
        uint32_t hash;
        if (!readValue(chains + uintptr_t(index - symbolOffset) * 4, &hash))
            return false;
        if (hash & 1) {
            *count = index + 1;
            return true;
        }
    }
    return false;
}

} // namespace

int elfImageInit(ElfImage* image, uintptr_t headerAddress)
{
    *image = ElfImage {};
    ElfW(Ehdr) header;
    if (!readValue(headerAddress, &header))
        return kElfInternal;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return kElfInvalidData;
    if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0 || header.e_phnum > 4096)
        return kElfInvalidData;
    image->headerAddress = headerAddress;
    switch (header.e_machine) {
    case EM_X86_64:
        image->cpuType = kCpuTypeX86_64;
        image->cpuSubtype = 3;
        break;
    case EM_AARCH64:
        image->cpuType = kCpuTypeArm64;
        image->cpuSubtype = 0;
        break;
    case EM_ARM:
        image->cpuType = kCpuTypeArm;
        image->cpuSubtype = 9;
        break;
    case EM_386:
        image->cpuType = kCpuTypeX86;
        image->cpuSubtype = 3;
        break;
    default:
        image->cpuType = 0;
        break;
    }
    uint64_t phdrs;
    if (addOverflows(headerAddress, header.e_phoff, &phdrs))
        return kElfInvalidData;

    // First pass: the load bias from the segment that maps the header.
    bool haveBias = false;
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) ph;
        if (!readValue(phdrs + uintptr_t(i) * sizeof(ph), &ph))
            return kElfInvalidData;
        if (ph.p_type == PT_LOAD && ph.p_offset == 0) {
            image->loadBias = headerAddress - ph.p_vaddr;
            haveBias = true;
            break;
        }
    }
    if (!haveBias)
        return kElfInvalidData;

    uintptr_t dynamic = 0;
    uint64_t dynamicSize = 0;
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) ph;
        if (!readValue(phdrs + uintptr_t(i) * sizeof(ph), &ph))
            return kElfInvalidData;
        uint64_t start, end;
        if (addOverflows(image->loadBias, ph.p_vaddr, &start) || addOverflows(start, ph.p_memsz, &end))
            return kElfInvalidData;
        if (ph.p_type == PT_LOAD && (ph.p_flags & PF_X) && end > headerAddress && end - headerAddress > image->textSize)
            image->textSize = end - headerAddress;
        if (ph.p_type == PT_DYNAMIC) {
            dynamic = start;
            dynamicSize = ph.p_memsz;
        }
        if (ph.p_type == PT_NOTE && image->buildIdLength == 0) {
            // Notes: namesz, descsz, type, then the name and the descriptor, each 4-aligned.
            uint64_t offset = 0;
            while (offset + 12 <= ph.p_memsz) {
                uint32_t note[3];
                if (!readMemory(start + offset, note, sizeof(note)))
                    break;
                uint64_t nameSize = (uint64_t(note[0]) + 3) & ~uint64_t(3);
                uint64_t descSize = (uint64_t(note[1]) + 3) & ~uint64_t(3);
                uint64_t next = offset + 12 + nameSize + descSize;
                if (next > ph.p_memsz || next <= offset)
                    break;
                char name[4] = {};
                if (note[2] == NT_GNU_BUILD_ID && note[0] == 4 && readMemory(start + offset + 12, name, 4)
                    && std::memcmp(name, "GNU", 4) == 0 && note[1] > 0 && note[1] <= sizeof(image->buildId)) {
                    if (readMemory(start + offset + 12 + nameSize, image->buildId, note[1]))
                        image->buildIdLength = note[1];
                    break;
                }
                offset = next;
            }
        }
    }
    if (image->textSize == 0)
        return kElfInvalidData;

    if (dynamic != 0) {
        uintptr_t symtab = 0, strtab = 0, hash = 0, gnuHash = 0;
        uint64_t strsz = 0;
        for (uint64_t offset = 0; offset + sizeof(ElfW(Dyn)) <= dynamicSize; offset += sizeof(ElfW(Dyn))) {
            ElfW(Dyn) entry;
            if (!readValue(dynamic + offset, &entry) || entry.d_tag == DT_NULL)
                break;
            switch (entry.d_tag) {
            case DT_SYMTAB:
                symtab = entry.d_un.d_ptr;
                break;
            case DT_STRTAB:
                strtab = entry.d_un.d_ptr;
                break;
            case DT_STRSZ:
                strsz = entry.d_un.d_val;
                break;
            case DT_HASH:
                hash = entry.d_un.d_ptr;
                break;
            case DT_GNU_HASH:
                gnuHash = entry.d_un.d_ptr;
                break;
            default:
                break;
            }
        }
        // The loader relocates these entries in place for most images but not for all (the
        // vDSO); an address below the image is still an offset.
        auto relocate
            = [&](uintptr_t value) { return value != 0 && value < headerAddress ? value + image->loadBias : value; };
        symtab = relocate(symtab);
        strtab = relocate(strtab);
        hash = relocate(hash);
        gnuHash = relocate(gnuHash);
        uint32_t count = 0;
        bool haveCount = false;
        if (hash != 0) {
            uint32_t words[2];
            if (readMemory(hash, words, sizeof(words))) {
                count = words[1];
                haveCount = true;
            }
        }
        if (!haveCount && gnuHash != 0)
            haveCount = gnuHashSymbolCount(gnuHash, &count);
        if (symtab != 0 && strtab != 0 && haveCount && count < (1u << 24)) {
            image->symbols = symtab;
            image->symbolCount = count;
            image->strings = strtab;
            image->stringsSize = strsz;
        }
    }
    return kElfOk;
}

namespace {

// The symbols elfFindSymbol considers: defined functions with a start.
bool isFunctionSymbol(const ElfW(Sym) & symbol)
{
    return ELF64_ST_TYPE(symbol.st_info) == STT_FUNC && symbol.st_shndx != SHN_UNDEF && symbol.st_value != 0;
}

// Copies the name at `nameOffset` of the string table (at most 255 characters) and calls back.
int reportSymbol(const ElfImage* image, uint64_t value, uint64_t nameOffset, ElfSymbolCallback callback, void* context)
{
    if (nameOffset >= image->stringsSize)
        return kElfInvalidData;
    char name[256];
    size_t length = 0;
    uintptr_t at = image->strings + nameOffset;
    uint64_t limit = image->stringsSize - nameOffset;
    size_t want = limit < sizeof(name) - 1 ? static_cast<size_t>(limit) : sizeof(name) - 1;
    // The whole run at once when readable, else byte by byte up to what can be read.
    if (readMemory(at, name, want)) {
        while (length < want && name[length] != '\0')
            ++length;
    } else {
        char c;
        while (length < want && readValue(at + length, &c) && c != '\0')
            name[length++] = c;
    }
    name[length] = '\0';
    callback(image->loadBias + value, name, context);
    return kElfOk;
}

} // namespace

std::vector<ElfSymbolIndexEntry> elfSymbolIndex(const ElfImage& image)
{
    std::vector<ElfSymbolIndexEntry> index;
    if (image.symbols == 0 || image.symbolCount == 0)
        return index;
    constexpr uint32_t kBlock = 512;
    std::vector<ElfW(Sym)> block(kBlock);
    for (uint32_t first = 0; first < image.symbolCount; first += kBlock) {
        uint32_t count = image.symbolCount - first < kBlock ? image.symbolCount - first : kBlock;
        if (!readMemory(image.symbols + uintptr_t(first) * sizeof(ElfW(Sym)), block.data(), count * sizeof(ElfW(Sym))))
            return {};
        for (uint32_t i = 0; i < count; ++i) {
            const ElfW(Sym)& symbol = block[i];
            if (!isFunctionSymbol(symbol))
                continue;
            if (symbol.st_value > UINT32_MAX)
                return {}; // the table is searched whole instead
            index.push_back({ static_cast<uint32_t>(symbol.st_value), symbol.st_name });
        }
    }
    // Stable, so among equal values the first in table order comes first.
    std::stable_sort(index.begin(), index.end(),
        [](const ElfSymbolIndexEntry& a, const ElfSymbolIndexEntry& b) { return a.value < b.value; });
    index.shrink_to_fit();
    return index;
}

int elfFindSymbol(const ElfImage* image, uint64_t address, ElfSymbolCallback callback, void* context)
{
    if (image->symbolIndex && image->symbolIndexCount > 0) {
        if (address < image->loadBias)
            return kElfNotFound;
        uint64_t target = address - image->loadBias;
        // The first entry whose value lies above the target; the one before it starts nearest.
        uint32_t low = 0, high = image->symbolIndexCount;
        while (low < high) {
            uint32_t middle = low + (high - low) / 2;
            if (image->symbolIndex[middle].value <= target)
                low = middle + 1;
            else
                high = middle;
        }
        if (low == 0)
            return kElfNotFound;
        uint32_t best = low - 1;
        while (best > 0 && image->symbolIndex[best - 1].value == image->symbolIndex[best].value)
            --best;
        return reportSymbol(image, image->symbolIndex[best].value, image->symbolIndex[best].name, callback, context);
    }
    if (image->symbols == 0 || image->symbolCount == 0)
        return kElfNotFound;
    bool found = false;
    ElfW(Sym) best {};
    // Read the table in blocks: one kernel call per block instead of per symbol.
    constexpr uint32_t kBlock = 64;
    ElfW(Sym) block[kBlock];
    for (uint32_t first = 0; first < image->symbolCount; first += kBlock) {
        uint32_t count = image->symbolCount - first < kBlock ? image->symbolCount - first : kBlock;
        if (!readMemory(image->symbols + uintptr_t(first) * sizeof(ElfW(Sym)), block, count * sizeof(ElfW(Sym))))
            return kElfInvalidData;
        for (uint32_t i = 0; i < count; ++i) {
            const ElfW(Sym)& symbol = block[i];
            if (!isFunctionSymbol(symbol))
                continue;
            uint64_t start = image->loadBias + symbol.st_value;
            if (start > address)
                continue;
            if (!found || start > image->loadBias + best.st_value) {
                best = symbol;
                found = true;
            }
        }
    }
    if (!found)
        return kElfNotFound;
    return reportSymbol(image, best.st_value, best.st_name, callback, context);
}

} // namespace vxos
