#pragma once

#include "vxbuild/TestPaths.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/mman.h>
#include <vector>

// Loads a committed Mach-O object file into memory the way the reader meets an image (below
// 4 GiB, so the 32-bit images' pointers can hold real addresses): the
// file's bytes at a page-aligned header address, followed by an unreadable guard page, with
// the pointer relocations of its data applied so that pointers hold the addresses where their
// targets now lie (object files keep sections at their file offsets from the header).
class MachOFixture {
public:
    explicit MachOFixture(const std::string& name)
    {
        std::ifstream in(std::string(VX_TEST_DIR "/fixtures/") + name, std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        size_t pages = (m_bytes.size() + 4095) / 4096;
        m_mappingSize = (pages + 1) * 4096;
        m_mapping = static_cast<uint8_t*>(
            mmap(nullptr, m_mappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0));
        mprotect(m_mapping + pages * 4096, 4096, PROT_NONE);
        std::memcpy(m_mapping, m_bytes.data(), m_bytes.size());
        relocate();
    }
    ~MachOFixture() { munmap(m_mapping, m_mappingSize); }
    MachOFixture(const MachOFixture&) = delete;
    MachOFixture& operator=(const MachOFixture&) = delete;

    uintptr_t header() const { return reinterpret_cast<uintptr_t>(m_mapping); }
    uint8_t* bytes() { return m_mapping; }
    size_t size() const { return m_bytes.size(); }
    // Address just past the file: the guard page.
    uintptr_t end() const { return header() + (m_bytes.size() + 4095) / 4096 * 4096; }

private:
    template <typename T> T at(size_t offset) const
    {
        T v;
        std::memcpy(&v, m_mapping + offset, sizeof(T));
        return v;
    }

    void relocate()
    {
        bool is64 = at<uint32_t>(0) == 0xfeedfacf;
        uint32_t ncmds = at<uint32_t>(16);
        size_t offset = is64 ? 32 : 28;
        // The single segment's file offset minus its address maps addresses to the file.
        uint64_t delta = 0;
        uint32_t symoff = 0, nsyms = 0;
        struct Section {
            uint32_t offset, reloff, nreloc;
        };
        std::vector<Section> sections;
        for (uint32_t i = 0; i < ncmds; ++i) {
            uint32_t cmd = at<uint32_t>(offset), cmdsize = at<uint32_t>(offset + 4);
            if (cmd == 0x19 || cmd == 0x1) {
                uint64_t vmaddr = is64 ? at<uint64_t>(offset + 24) : at<uint32_t>(offset + 24);
                uint64_t fileoff = is64 ? at<uint64_t>(offset + 40) : at<uint32_t>(offset + 32);
                delta = fileoff - vmaddr;
                uint32_t nsects = at<uint32_t>(offset + (is64 ? 64 : 48));
                size_t s = offset + (is64 ? 72 : 56);
                for (uint32_t k = 0; k < nsects; ++k, s += is64 ? 80 : 68) {
                    size_t base = s + (is64 ? 48 : 40);
                    sections.push_back({ at<uint32_t>(base), at<uint32_t>(base + 8), at<uint32_t>(base + 12) });
                }
            } else if (cmd == 0x2) {
                symoff = at<uint32_t>(offset + 8);
                nsyms = at<uint32_t>(offset + 12);
            }
            offset += cmdsize;
        }
        uint64_t slide = header() + delta;
        // Addresses of Thumb functions: the linker sets bit 0 in pointers to them.
        std::vector<uint64_t> thumb;
        for (uint32_t i = 0; !is64 && i < nsyms; ++i) {
            size_t entry = symoff + i * 12;
            if ((at<uint8_t>(entry + 4) & 0x0e) == 0x0e && (at<uint16_t>(entry + 6) & 0x0008))
                thumb.push_back(at<uint32_t>(entry + 8));
        }
        for (const auto& section : sections) {
            for (uint32_t r = 0; r < section.nreloc; ++r) {
                uint32_t word0 = at<uint32_t>(section.reloff + r * 8), word1 = at<uint32_t>(section.reloff + r * 8 + 4);
                if (word0 & 0x80000000u) {
                    // Scattered: only plain 32-bit pointers matter here.
                    uint32_t type = (word0 >> 24) & 0xf, length = (word0 >> 28) & 3;
                    if (type == 0 && length == 2)
                        add(section.offset + (word0 & 0xffffff), 4, slide);
                    continue;
                }
                uint32_t symbol = word1 & 0xffffff, pcrel = (word1 >> 24) & 1, length = (word1 >> 25) & 3;
                uint32_t external = (word1 >> 27) & 1, type = word1 >> 28;
                if (type != 0 || pcrel || (length != 2 && length != 3))
                    continue;
                size_t width = length == 3 ? 8 : 4;
                size_t field = section.offset + word0;
                if (!external) {
                    uint64_t target = width == 8 ? at<uint64_t>(field) : at<uint32_t>(field);
                    bool toThumb = std::find(thumb.begin(), thumb.end(), target) != thumb.end();
                    add(field, width, slide + (toThumb ? 1 : 0));
                    continue;
                }
                size_t entry = symoff + symbol * (is64 ? 16 : 12);
                if (symbol >= nsyms || (at<uint8_t>(entry + 4) & 0x0e) != 0x0e)
                    continue; // undefined: stays as it is
                uint64_t value = is64 ? at<uint64_t>(entry + 8) : at<uint32_t>(entry + 8);
                add(field, width, slide + value);
            }
        }
    }

    void add(size_t field, size_t width, uint64_t amount)
    {
        if (width == 8) {
            uint64_t v = at<uint64_t>(field) + amount;
            std::memcpy(m_mapping + field, &v, 8);
        } else {
            uint32_t v = at<uint32_t>(field) + static_cast<uint32_t>(amount);
            std::memcpy(m_mapping + field, &v, 4);
        }
    }

    std::vector<uint8_t> m_bytes;
    uint8_t* m_mapping = nullptr;
    size_t m_mappingSize = 0;
};
