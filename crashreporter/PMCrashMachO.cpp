#include "crashreporter/PMCrashMachO.h"

#include "os/OSMemory.h"

namespace {

constexpr uint64_t kPage = 4096;

bool rangeEnd(uintptr_t address, uint64_t length, uintptr_t* end)
{
    return !__builtin_add_overflow(address, length, end);
}

// Whole-page probe of [start, start + length): how many bytes from `start` are readable.
uint64_t readablePrefix(uintptr_t start, uint64_t length)
{
    uintptr_t page = start & ~(kPage - 1);
    uint64_t readable = 0;
    while (readable < length) {
        if (!vxos::isReadable(page, 1))
            break;
        uint64_t pageEnd = page + kPage - start;
        readable = pageEnd < length ? pageEnd : length;
        page += kPage;
    }
    return readable;
}

} // namespace

int pmcrash_memory_object_init(pmcrash_memory_object_t* object, uintptr_t address, uint64_t length, bool requireAll)
{
    object->address = 0;
    object->length = 0;
    uintptr_t end;
    if (!rangeEnd(address, length, &end))
        return PMCRASH_ENOMEM;
    if (length == 0) {
        object->address = address;
        return PMCRASH_ESUCCESS;
    }
    if (requireAll) {
        if (!vxos::isReadable(address, length))
            return PMCRASH_ENOMEM;
        object->address = address;
        object->length = length;
        return PMCRASH_ESUCCESS;
    }
    uint64_t prefix = readablePrefix(address, length);
    if (prefix == 0)
        return PMCRASH_ENOMEM;
    object->address = address;
    object->length = prefix;
    return PMCRASH_ESUCCESS;
}

bool pmcrash_memory_object_verify(
    const pmcrash_memory_object_t* object, uintptr_t address, int64_t offset, uint64_t length)
{
    uintptr_t start, end;
    if (!pmcrash_address_add(address, offset, &start) || !rangeEnd(start, length, &end))
        return false;
    return start >= object->address && end <= object->address + object->length;
}

const void* pmcrash_memory_object_remap(
    const pmcrash_memory_object_t* object, uintptr_t address, int64_t offset, uint64_t length)
{
    if (!pmcrash_memory_object_verify(object, address, offset, length))
        return nullptr;
    uintptr_t start;
    pmcrash_address_add(address, offset, &start);
    return reinterpret_cast<const void*>(start);
}

namespace {
template <typename T> int readValue(const pmcrash_memory_object_t* object, uintptr_t address, int64_t offset, T* out)
{
    uintptr_t start;
    if (!pmcrash_address_add(address, offset, &start) || start == 0)
        return PMCRASH_EINVAL;
    const void* local = pmcrash_memory_object_remap(object, address, offset, sizeof(T));
    if (!local)
        return PMCRASH_EINVAL;
    pmcrash_memcpy(out, local, sizeof(T));
    return PMCRASH_ESUCCESS;
}
} // namespace

int pmcrash_memory_object_read_u8(
    const pmcrash_memory_object_t* object, uintptr_t address, int64_t offset, uint8_t* out)
{
    return readValue(object, address, offset, out);
}

int pmcrash_memory_object_read_u16(const pmcrash_memory_object_t* object, const pmcrash_byteorder_t* order,
    uintptr_t address, int64_t offset, uint16_t* out)
{
    int result = readValue(object, address, offset, out);
    *out = order->swap16(*out);
    return result;
}

int pmcrash_memory_object_read_u32(const pmcrash_memory_object_t* object, const pmcrash_byteorder_t* order,
    uintptr_t address, int64_t offset, uint32_t* out)
{
    int result = readValue(object, address, offset, out);
    *out = order->swap32(*out);
    return result;
}

int pmcrash_memory_object_read_u64(const pmcrash_memory_object_t* object, const pmcrash_byteorder_t* order,
    uintptr_t address, int64_t offset, uint64_t* out)
{
    int result = readValue(object, address, offset, out);
    *out = order->swap64(*out);
    return result;
}

void pmcrash_memory_object_free(pmcrash_memory_object_t* object)
{
    object->address = 0;
    object->length = 0;
}

// ---- images

namespace {

uint32_t u32(const pmcrash_macho_t* image, const void* at)
{
    uint32_t v;
    pmcrash_memcpy(&v, at, 4);
    return image->byteorder->swap32(v);
}

uint64_t u64(const pmcrash_macho_t* image, const void* at)
{
    uint64_t v;
    pmcrash_memcpy(&v, at, 8);
    return image->byteorder->swap64(v);
}

const uint8_t* bytes(const void* p)
{
    return static_cast<const uint8_t*>(p);
}

// The fields of a segment command of either width.
struct Segment {
    const uint8_t* command;
    const char* name;
    uint64_t vmaddr, vmsize, fileoff, filesize;
    uint32_t nsects;
    const uint8_t* sections;
};

bool readSegment(const pmcrash_macho_t* image, const void* command, Segment* out)
{
    const uint8_t* c = bytes(command);
    out->command = c;
    out->name = reinterpret_cast<const char*>(c + 8);
    if (image->m64) {
        out->vmaddr = u64(image, c + 24);
        out->vmsize = u64(image, c + 32);
        out->fileoff = u64(image, c + 40);
        out->filesize = u64(image, c + 48);
        out->nsects = u32(image, c + 64);
        out->sections = c + 72;
    } else {
        out->vmaddr = u32(image, c + 24);
        out->vmsize = u32(image, c + 28);
        out->fileoff = u32(image, c + 32);
        out->filesize = u32(image, c + 36);
        out->nsects = u32(image, c + 48);
        out->sections = c + 56;
    }
    return true;
}

uint32_t segmentCommandType(const pmcrash_macho_t* image)
{
    return image->m64 ? PMCRASH_LC_SEGMENT_64 : PMCRASH_LC_SEGMENT;
}

// vm address of the image to memory address.
bool slid(const pmcrash_macho_t* image, uint64_t vmaddr, uintptr_t* out)
{
    return pmcrash_address_add(static_cast<uintptr_t>(vmaddr), image->slide, out);
}

} // namespace

int pmcrash_macho_init(pmcrash_macho_t* image, const char* path, uintptr_t headerAddress)
{
    pmcrash_memset(image, 0, sizeof(*image));
    image->header_addr = headerAddress;
    size_t i = 0;
    for (; path && path[i] != '\0' && i < sizeof(image->path) - 1; ++i)
        image->path[i] = path[i];
    image->path[i] = '\0';

    uint32_t header[7];
    if (pmcrash_task_read_at(headerAddress, 0, header, sizeof(header)) != PMCRASH_ESUCCESS)
        return PMCRASH_EINTERNAL;
    switch (header[0]) {
    case 0xfeedface:
        image->byteorder = pmcrash_byteorder_native();
        image->m64 = false;
        break;
    case 0xfeedfacf:
        image->byteorder = pmcrash_byteorder_native();
        image->m64 = true;
        break;
    case 0xcefaedfe:
        image->byteorder = pmcrash_byteorder_swapped();
        image->m64 = false;
        break;
    case 0xcffaedfe:
        image->byteorder = pmcrash_byteorder_swapped();
        image->m64 = true;
        break;
    default:
        return PMCRASH_EINVAL;
    }
    const pmcrash_byteorder_t* order = image->byteorder;
    image->magic = header[0];
    image->cpu_type = static_cast<int32_t>(order->swap32(header[1]));
    image->cpu_subtype = static_cast<int32_t>(order->swap32(header[2]));
    image->filetype = order->swap32(header[3]);
    image->ncmds = order->swap32(header[4]);
    image->sizeofcmds = order->swap32(header[5]);
    image->flags = order->swap32(header[6]);
    image->header_size = image->m64 ? 32 : 28;
    if (pmcrash_memory_object_init(&image->load_cmds, headerAddress + image->header_size, image->sizeofcmds, true)
        != PMCRASH_ESUCCESS)
        return PMCRASH_EINVAL;

    // The text segment: "__TEXT", or for an image in file layout its one unnamed segment,
    // whose sections lie at their file offsets from the header.
    const void* textCommand = nullptr;
    const void* firstSegment = nullptr;
    uint32_t type = segmentCommandType(image);
    for (const void* c = pmcrash_macho_next_command_type(image, nullptr, type); c;
         c = pmcrash_macho_next_command_type(image, c, type)) {
        if (!pmcrash_memory_object_verify(&image->load_cmds, reinterpret_cast<uintptr_t>(c), 0, image->m64 ? 72 : 56))
            break;
        if (!firstSegment)
            firstSegment = c;
        if (pmcrash_strncmp(reinterpret_cast<const char*>(bytes(c) + 8), "__TEXT", 16) == 0) {
            textCommand = c;
            break;
        }
    }
    Segment segment;
    if (textCommand) {
        readSegment(image, textCommand, &segment);
        image->slide = static_cast<int64_t>(headerAddress - segment.vmaddr);
    } else if (firstSegment && image->filetype == PMCRASH_MH_OBJECT) {
        readSegment(image, firstSegment, &segment);
        image->slide = static_cast<int64_t>(headerAddress + segment.fileoff - segment.vmaddr);
    } else {
        pmcrash_memory_object_free(&image->load_cmds);
        return PMCRASH_EINVAL;
    }
    image->text_vmaddr = segment.vmaddr;
    image->text_size = segment.vmsize;
    return PMCRASH_ESUCCESS;
}

void pmcrash_macho_free(pmcrash_macho_t* image)
{
    pmcrash_memory_object_free(&image->load_cmds);
}

bool pmcrash_macho_contains_address(const pmcrash_macho_t* image, uint64_t address)
{
    uintptr_t start;
    if (!slid(image, image->text_vmaddr, &start))
        return false;
    return address >= start && address - start < image->text_size;
}

const void* pmcrash_macho_next_command(const pmcrash_macho_t* image, const void* previous)
{
    const pmcrash_memory_object_t* mobj = &image->load_cmds;
    uintptr_t next;
    if (!previous) {
        if (image->sizeofcmds < 8)
            return nullptr;
        next = mobj->address;
    } else {
        uint32_t size = u32(image, bytes(previous) + 4);
        // A command smaller than its own header would make the walk stand still.
        if (size < 8)
            return nullptr;
        if (!pmcrash_address_add(reinterpret_cast<uintptr_t>(previous), size, &next))
            return nullptr;
    }
    if (!pmcrash_memory_object_verify(mobj, next, 0, 8))
        return nullptr;
    uint32_t size = u32(image, reinterpret_cast<const void*>(next + 4));
    if (size < 8 || !pmcrash_memory_object_verify(mobj, next, 0, size))
        return nullptr;
    return reinterpret_cast<const void*>(next);
}

const void* pmcrash_macho_next_command_type(const pmcrash_macho_t* image, const void* previous, uint32_t type)
{
    for (const void* c = pmcrash_macho_next_command(image, previous); c; c = pmcrash_macho_next_command(image, c)) {
        if (u32(image, c) == type)
            return c;
    }
    return nullptr;
}

const void* pmcrash_macho_find_command(const pmcrash_macho_t* image, uint32_t type)
{
    return pmcrash_macho_next_command_type(image, nullptr, type);
}

const void* pmcrash_macho_find_segment(const pmcrash_macho_t* image, const char* segmentName)
{
    uint32_t type = segmentCommandType(image);
    uint32_t minimum = image->m64 ? 72 : 56;
    for (const void* c = pmcrash_macho_find_command(image, type); c;
         c = pmcrash_macho_next_command_type(image, c, type)) {
        if (u32(image, bytes(c) + 4) < minimum)
            continue;
        if (pmcrash_strncmp(reinterpret_cast<const char*>(bytes(c) + 8), segmentName, 16) == 0)
            return c;
    }
    return nullptr;
}

int pmcrash_macho_map_segment(const pmcrash_macho_t* image, const char* segmentName, pmcrash_segment_mapping_t* out)
{
    const void* command = pmcrash_macho_find_segment(image, segmentName);
    if (!command)
        return PMCRASH_ENOTFOUND;
    Segment segment;
    readSegment(image, command, &segment);
    uintptr_t start;
    if (!slid(image, segment.vmaddr, &start))
        return PMCRASH_EINVAL;
    int result = pmcrash_memory_object_init(&out->mobj, start, segment.vmsize, false);
    if (result != PMCRASH_ESUCCESS)
        return result;
    out->fileoff = segment.fileoff;
    out->filesize = segment.filesize;
    return PMCRASH_ESUCCESS;
}

int pmcrash_macho_map_section(
    const pmcrash_macho_t* image, const char* segmentName, const char* sectionName, pmcrash_memory_object_t* out)
{
    uint32_t type = segmentCommandType(image);
    uint32_t headerSize = image->m64 ? 72 : 56;
    uint32_t sectionSize = image->m64 ? 80 : 68;
    for (const void* c = pmcrash_macho_find_command(image, type); c;
         c = pmcrash_macho_next_command_type(image, c, type)) {
        uint32_t commandSize = u32(image, bytes(c) + 4);
        if (commandSize < headerSize)
            continue;
        Segment segment;
        readSegment(image, c, &segment);
        // Sections follow the command and must lie inside it.
        uint64_t sectionsBytes;
        if (__builtin_mul_overflow(uint64_t(segment.nsects), uint64_t(sectionSize), &sectionsBytes)
            || sectionsBytes > commandSize - headerSize)
            return PMCRASH_EINVAL;
        for (uint32_t i = 0; i < segment.nsects; ++i) {
            const uint8_t* section = segment.sections + uint64_t(i) * sectionSize;
            if (pmcrash_strncmp(reinterpret_cast<const char*>(section + 16), segmentName, 16) != 0
                || pmcrash_strncmp(reinterpret_cast<const char*>(section), sectionName, 16) != 0)
                continue;
            uint64_t addr = image->m64 ? u64(image, section + 32) : u32(image, section + 32);
            uint64_t size = image->m64 ? u64(image, section + 40) : u32(image, section + 36);
            uintptr_t start;
            if (!slid(image, addr, &start))
                return PMCRASH_EINVAL;
            return pmcrash_memory_object_init(out, start, size, true) == PMCRASH_ESUCCESS ? PMCRASH_ESUCCESS
                                                                                          : PMCRASH_EINVAL;
        }
    }
    return PMCRASH_ENOTFOUND;
}

bool pmcrash_macho_uuid(const pmcrash_macho_t* image, uint8_t uuid[16])
{
    const void* command = pmcrash_macho_find_command(image, PMCRASH_LC_UUID);
    if (!command || u32(image, bytes(command) + 4) < 24)
        return false;
    pmcrash_memcpy(uuid, bytes(command) + 8, 16);
    return true;
}

// ---- symbol tables

int pmcrash_macho_symtab_init(pmcrash_macho_symtab_reader_t* reader, const pmcrash_macho_t* image)
{
    pmcrash_memset(reader, 0, sizeof(*reader));
    reader->image = image;
    const void* symtab = pmcrash_macho_find_command(image, PMCRASH_LC_SYMTAB);
    if (!symtab || u32(image, bytes(symtab) + 4) < 24)
        return PMCRASH_ENOTFOUND;
    const void* dysymtab = pmcrash_macho_find_command(image, PMCRASH_LC_DYSYMTAB);
    if (dysymtab && u32(image, bytes(dysymtab) + 4) < 32)
        dysymtab = nullptr;
    uint32_t symoff = u32(image, bytes(symtab) + 8);
    uint32_t nsyms = u32(image, bytes(symtab) + 12);
    uint32_t stroff = u32(image, bytes(symtab) + 16);
    uint32_t strsize = u32(image, bytes(symtab) + 20);

    // File offsets become addresses through __LINKEDIT, or from the header in file layout.
    uintptr_t base;
    uint64_t fileoff = 0;
    pmcrash_segment_mapping_t linkedit;
    if (pmcrash_macho_map_segment(image, "__LINKEDIT", &linkedit) == PMCRASH_ESUCCESS) {
        base = linkedit.mobj.address;
        fileoff = linkedit.fileoff;
        reader->linkedit = linkedit.mobj;
    } else if (image->filetype == PMCRASH_MH_OBJECT) {
        base = image->header_addr;
        uint64_t end = uint64_t(stroff) + strsize;
        uint64_t tableEnd = uint64_t(symoff) + uint64_t(nsyms) * (image->m64 ? 16 : 12);
        if (pmcrash_memory_object_init(&reader->linkedit, base, end > tableEnd ? end : tableEnd, true)
            != PMCRASH_ESUCCESS)
            return PMCRASH_EINTERNAL;
    } else {
        return PMCRASH_EINTERNAL;
    }
    uint64_t entrySize = image->m64 ? 16 : 12;
    uint64_t tableBytes = uint64_t(nsyms) * entrySize;
    if (symoff < fileoff || stroff < fileoff)
        return PMCRASH_EINTERNAL;
    const void* table
        = pmcrash_memory_object_remap(&reader->linkedit, base, static_cast<int64_t>(symoff - fileoff), tableBytes);
    const void* strings
        = pmcrash_memory_object_remap(&reader->linkedit, base, static_cast<int64_t>(stroff - fileoff), strsize);
    if (!table || !strings)
        return PMCRASH_EINTERNAL;
    reader->symtab = bytes(table);
    reader->nsyms = nsyms;
    reader->string_table = static_cast<const char*>(strings);
    reader->string_table_size = strsize;
    if (dysymtab) {
        uint32_t ilocal = u32(image, bytes(dysymtab) + 8), nlocal = u32(image, bytes(dysymtab) + 12);
        uint32_t iext = u32(image, bytes(dysymtab) + 16), next = u32(image, bytes(dysymtab) + 20);
        if (uint64_t(iext) + next > nsyms || uint64_t(ilocal) + nlocal > nsyms) {
            pmcrash_memory_object_free(&reader->linkedit);
            return PMCRASH_EINVAL;
        }
        reader->symtab_global = reader->symtab + iext * entrySize;
        reader->nsyms_global = next;
        reader->symtab_local = reader->symtab + ilocal * entrySize;
        reader->nsyms_local = nlocal;
    }
    return PMCRASH_ESUCCESS;
}

pmcrash_macho_symtab_entry_t pmcrash_macho_symtab_entry(
    const pmcrash_macho_symtab_reader_t* reader, const uint8_t* table, uint32_t index)
{
    const pmcrash_macho_t* image = reader->image;
    const uint8_t* e = table + uint64_t(index) * (image->m64 ? 16 : 12);
    pmcrash_macho_symtab_entry_t entry;
    entry.n_strx = u32(image, e);
    entry.n_type = e[4];
    entry.n_sect = e[5];
    uint16_t desc;
    pmcrash_memcpy(&desc, e + 6, 2);
    entry.n_desc = image->byteorder->swap16(desc);
    entry.n_value = image->m64 ? u64(image, e + 8) : u32(image, e + 8);
    entry.normalized_value = (entry.n_desc & 0x0008) ? (entry.n_value | 1) : entry.n_value;
    return entry;
}

const char* pmcrash_macho_symtab_name(const pmcrash_macho_symtab_reader_t* reader, uint32_t strx)
{
    if (strx >= reader->string_table_size)
        return nullptr;
    for (uint32_t i = strx; i < reader->string_table_size; ++i) {
        if (reader->string_table[i] == '\0')
            return reader->string_table + strx;
    }
    return nullptr;
}

void pmcrash_macho_symtab_free(pmcrash_macho_symtab_reader_t* reader)
{
    pmcrash_memory_object_free(&reader->linkedit);
}

namespace {

constexpr uint8_t kStabOrType = 0xee; // N_STAB | N_TYPE
constexpr uint8_t kSect = 0x0e; // N_SECT

void searchRange(const pmcrash_macho_symtab_reader_t* reader, const uint8_t* table, uint32_t count, uint64_t target,
    bool* found, pmcrash_macho_symtab_entry_t* best)
{
    for (uint32_t i = 0; i < count; ++i) {
        pmcrash_macho_symtab_entry_t entry = pmcrash_macho_symtab_entry(reader, table, i);
        if ((entry.n_type & kStabOrType) != kSect || entry.n_value > target)
            continue;
        if (!*found || entry.n_value > best->n_value) {
            *best = entry;
            *found = true;
        }
    }
}

} // namespace

int pmcrash_macho_find_symbol_by_pc(
    const pmcrash_macho_t* image, uint64_t pc, pmcrash_macho_symbol_callback callback, void* context)
{
    pmcrash_macho_symtab_reader_t reader;
    int result = pmcrash_macho_symtab_init(&reader, image);
    if (result != PMCRASH_ESUCCESS)
        return result;
    uintptr_t target;
    if (!pmcrash_address_add(static_cast<uintptr_t>(pc), -image->slide, &target)) {
        pmcrash_macho_symtab_free(&reader);
        return PMCRASH_ENOTFOUND; // below the image
    }
    bool found = false;
    pmcrash_macho_symtab_entry_t best {};
    if (reader.symtab_global && reader.symtab_local) {
        searchRange(&reader, reader.symtab_global, reader.nsyms_global, target, &found, &best);
        searchRange(&reader, reader.symtab_local, reader.nsyms_local, target, &found, &best);
    } else {
        searchRange(&reader, reader.symtab, reader.nsyms, target, &found, &best);
    }
    if (!found) {
        result = PMCRASH_ENOTFOUND;
    } else if (const char* name = pmcrash_macho_symtab_name(&reader, best.n_strx)) {
        callback(best.normalized_value + static_cast<uint64_t>(image->slide), name, context);
        result = PMCRASH_ESUCCESS;
    } else {
        result = PMCRASH_EINVAL;
    }
    pmcrash_macho_symtab_free(&reader);
    return result;
}

int pmcrash_macho_find_symbol_by_name(const pmcrash_macho_t* image, const char* name, uint64_t* address)
{
    pmcrash_macho_symtab_reader_t reader;
    int result = pmcrash_macho_symtab_init(&reader, image);
    if (result != PMCRASH_ESUCCESS)
        return result;
    result = PMCRASH_ENOTFOUND;
    for (uint32_t i = 0; i < reader.nsyms; ++i) {
        pmcrash_macho_symtab_entry_t entry = pmcrash_macho_symtab_entry(&reader, reader.symtab, i);
        if ((entry.n_type & kStabOrType) != kSect)
            continue;
        const char* candidate = pmcrash_macho_symtab_name(&reader, entry.n_strx);
        if (candidate && pmcrash_strcmp(candidate, name) == 0) {
            *address = entry.normalized_value + static_cast<uint64_t>(image->slide);
            result = PMCRASH_ESUCCESS;
            break;
        }
    }
    pmcrash_macho_symtab_free(&reader);
    return result;
}
