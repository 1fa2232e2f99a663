#include "graphics/CGImage.h"

#include <cstring>

// Decodes the first image of a GIF (87a/89a) into straight RGBA, honouring the transparent
// colour of the first graphic control extension. Bounds are checked everywhere: corrupt data
// gives null.
namespace {

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& d)
        : m_data(d)
    {
    }
    bool has(size_t n) const { return m_pos + n <= m_data.size(); }
    uint8_t byte() { return has(1) ? m_data[m_pos++] : (m_failed = true, 0); }
    uint16_t word()
    {
        uint16_t lo = byte();
        return static_cast<uint16_t>(lo | (byte() << 8));
    }
    const uint8_t* take(size_t n)
    {
        if (!has(n)) {
            m_failed = true;
            return nullptr;
        }
        const uint8_t* p = m_data.data() + m_pos;
        m_pos += n;
        return p;
    }
    void skipSubBlocks()
    {
        while (!m_failed) {
            uint8_t n = byte();
            if (n == 0)
                return;
            take(n);
        }
    }
    bool failed() const { return m_failed; }

private:
    const std::vector<uint8_t>& m_data;
    size_t m_pos { 0 };
    bool m_failed { false };
};

bool decodeLZW(const std::vector<uint8_t>& stream, int minCodeSize, size_t pixelCount, std::vector<uint8_t>& out)
{
    if (minCodeSize < 2 || minCodeSize > 8)
        return false;
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::vector<uint16_t> prefix(4096);
    std::vector<uint8_t> suffix(4096), stack(4097);
    int codeSize = minCodeSize + 1, next = end + 1, old = -1;
    uint8_t first = 0;
    uint32_t bits = 0;
    int bitCount = 0;
    for (int i = 0; i < clear; ++i)
        suffix[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    size_t pos = 0;
    while (out.size() < pixelCount) {
        while (bitCount < codeSize) {
            if (pos >= stream.size())
                return !out.empty();
            bits |= static_cast<uint32_t>(stream[pos++]) << bitCount;
            bitCount += 8;
        }
        int code = static_cast<int>(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        bitCount -= codeSize;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = end + 1;
            old = -1;
            continue;
        }
        if (code == end)
            break;
        if (old == -1) {
            if (code >= clear)
                return false;
            out.push_back(static_cast<uint8_t>(code));
            first = static_cast<uint8_t>(code);
            old = code;
            continue;
        }
        int in = code;
        size_t sp = 0;
        if (code >= next) {
            if (code > next)
                return false;
            stack[sp++] = first;
            code = old;
        }
        while (code >= clear) {
            if (sp >= 4096)
                return false;
            stack[sp++] = suffix[static_cast<size_t>(code)];
            code = prefix[static_cast<size_t>(code)];
        }
        first = suffix[static_cast<size_t>(code)];
        stack[sp++] = first;
        while (sp > 0 && out.size() < pixelCount)
            out.push_back(stack[--sp]);
        if (next < 4096) {
            prefix[static_cast<size_t>(next)] = static_cast<uint16_t>(old);
            suffix[static_cast<size_t>(next)] = first;
            ++next;
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        old = in;
    }
    return true;
}

} // namespace

CGImageRef decodeGIFFirstFrame(const std::vector<uint8_t>& data)
{
    if (data.size() < 13 || (std::memcmp(data.data(), "GIF87a", 6) != 0 && std::memcmp(data.data(), "GIF89a", 6) != 0))
        return nullptr;
    Reader r(data);
    r.take(6);
    size_t width = r.word(), height = r.word();
    // The screen and every frame are bounded like any decoded image before anything is
    // allocated for them: a 16-bit size pair can otherwise ask for gigabytes.
    if (!CGImageDecodableSize(width, height))
        return nullptr;
    uint8_t flags = r.byte();
    r.byte(); // background colour index
    r.byte(); // aspect
    std::vector<uint8_t> globalPalette;
    if (flags & 0x80) {
        size_t n = size_t(3) << ((flags & 7) + 1);
        if (const uint8_t* p = r.take(n))
            globalPalette.assign(p, p + n);
    }
    int transparent = -1;
    while (!r.failed()) {
        uint8_t block = r.byte();
        if (block == 0x21) {
            uint8_t label = r.byte();
            if (label == 0xF9) {
                uint8_t size = r.byte();
                const uint8_t* p = r.take(size);
                if (p && size >= 4 && (p[0] & 1))
                    transparent = p[3];
            }
            r.skipSubBlocks();
        } else if (block == 0x2C) {
            size_t left = r.word(), top = r.word(), w = r.word(), h = r.word();
            uint8_t imageFlags = r.byte();
            std::vector<uint8_t> palette = globalPalette;
            if (imageFlags & 0x80) {
                size_t n = size_t(3) << ((imageFlags & 7) + 1);
                if (const uint8_t* p = r.take(n))
                    palette.assign(p, p + n);
            }
            int minCodeSize = r.byte();
            std::vector<uint8_t> stream;
            while (!r.failed()) {
                uint8_t n = r.byte();
                if (n == 0)
                    break;
                if (const uint8_t* p = r.take(n))
                    stream.insert(stream.end(), p, p + n);
            }
            if (r.failed() || !CGImageDecodableSize(w, h) || palette.empty())
                return nullptr;
            std::vector<uint8_t> indices;
            if (!decodeLZW(stream, minCodeSize, w * h, indices))
                return nullptr;
            indices.resize(w * h, 0);
            bool interlaced = imageFlags & 0x40;
            std::vector<size_t> rowOrder;
            if (interlaced) {
                for (size_t start : { 0, 4, 2, 1 }) {
                    size_t step = start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2;
                    for (size_t y = start; y < h; y += step)
                        rowOrder.push_back(y);
                }
            } else {
                for (size_t y = 0; y < h; ++y)
                    rowOrder.push_back(y);
            }
            std::vector<uint8_t> rgba(width * height * 4, 0);
            for (size_t i = 0; i < h; ++i) {
                size_t y = rowOrder[i] + top;
                if (y >= height)
                    continue;
                for (size_t x = 0; x < w; ++x) {
                    size_t px = x + left;
                    if (px >= width)
                        continue;
                    uint8_t index = indices[i * w + x];
                    uint8_t* p = rgba.data() + (y * width + px) * 4;
                    if (index == transparent || size_t(index) * 3 + 2 >= palette.size())
                        continue;
                    p[0] = palette[index * 3u];
                    p[1] = palette[index * 3u + 1];
                    p[2] = palette[index * 3u + 2];
                    p[3] = 255;
                }
            }
            CGPixelFormat format { 8, 32, kCGColorSpaceModelRGB, kCGImageAlphaLast };
            return std::make_shared<CGImage>(width, height, width * 4, format, CGColorSpaceCreateDeviceRGB(),
                CGDataProviderCreateWithBytes(std::move(rgba)), true);
        } else {
            return nullptr;
        }
    }
    return nullptr;
}
