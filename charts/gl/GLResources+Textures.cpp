#include "charts/gl/GLResources.h"

#include <cmath>
#include <cstdint>

namespace LChartGL {

namespace {

constexpr int kSpriteSize = 256;

struct Texel {
    uint8_t grey;
    uint8_t alpha;
};

void put(std::vector<Texel>& ramp, size_t from, size_t to, Texel texel)
{
    for (size_t i = from; i <= to; ++i)
        ramp[i] = texel;
}

// A 32-texel donut ramp: a dark rim given by its first eight alphas, mirrored at the far edge.
std::vector<Texel> donutRim(const uint8_t (&rim)[8], Texel inner)
{
    std::vector<Texel> ramp(32);
    for (size_t i = 0; i < 8; ++i) {
        ramp[i] = { 0, rim[i] };
        ramp[31 - i] = ramp[i];
    }
    ramp[8] = ramp[23] = inner;
    put(ramp, 9, 22, { 8, 4 });
    return ramp;
}

std::vector<Texel> pieEdge(uint8_t light54, const uint8_t (&edge)[9])
{
    std::vector<Texel> ramp(64, { 0, 0 });
    put(ramp, 32, 53, { 2, 4 });
    ramp[54] = { 2, light54 };
    for (size_t i = 0; i < 9; ++i)
        ramp[55 + i] = { 0, edge[i] };
    return ramp;
}

std::vector<Texel> computedPie(int n, float a, float b, float c)
{
    std::vector<Texel> ramp(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        float u = b * static_cast<float>(2 * i + 1 - n) / static_cast<float>(n);
        float t = std::sqrt(1.0f - u * u);
        float s = std::sqrt(1.0f - b * b);
        float h = (t - s) / (1.0f - s);
        float v = (255.0f * a + 25.5f * a / c) * h - 255.0f * a;
        ramp[static_cast<size_t>(i)] = v >= 0 ? Texel { static_cast<uint8_t>(c * v), static_cast<uint8_t>(v) }
                                              : Texel { 0, static_cast<uint8_t>(-v) };
    }
    return ramp;
}

std::vector<Texel> texels(TextureKind kind)
{
    switch (kind) {
    case TextureKind::DonutEffect1: {
        const uint8_t rim[8] = { 222, 185, 136, 104, 76, 52, 32, 16 };
        return donutRim(rim, { 4, 8 });
    }
    case TextureKind::DonutEffect2: {
        const uint8_t rim[8] = { 185, 154, 113, 87, 63, 43, 27, 13 };
        return donutRim(rim, { 2, 4 });
    }
    case TextureKind::PieEffect1: {
        const uint8_t edge[9] = { 15, 32, 51, 76, 107, 139, 185, 222, 255 };
        return pieEdge(8, edge);
    }
    case TextureKind::PieEffect2: {
        const uint8_t edge[9] = { 11, 24, 38, 57, 80, 105, 139, 185, 222 };
        return pieEdge(6, edge);
    }
    case TextureKind::DonutEffect3:
        return { { 0, 171 }, { 0, 132 }, { 0, 94 }, { 0, 65 }, { 0, 41 }, { 0, 22 }, { 0, 5 }, { 20, 4 }, { 22, 4 },
            { 0, 2 }, { 0, 18 }, { 0, 38 }, { 0, 61 }, { 0, 91 }, { 0, 128 }, { 0, 167 } };
    case TextureKind::DonutEffect4:
        return { { 0, 115 }, { 0, 87 }, { 0, 59 }, { 0, 34 }, { 0, 15 }, { 4, 4 }, { 13, 4 }, { 36, 4 }, { 39, 4 },
            { 15, 2 }, { 7, 4 }, { 0, 13 }, { 0, 32 }, { 0, 57 }, { 0, 85 }, { 0, 114 } };
    case TextureKind::DonutEffect5: {
        std::vector<Texel> ramp(64, { 0, 0 });
        const std::pair<size_t, size_t> spans[] = { { 0, 0 }, { 1, 2 }, { 3, 4 }, { 5, 10 }, { 11, 13 }, { 14, 18 } };
        const uint8_t alphas[] = { 0, 5, 10, 15, 16, 17 };
        for (size_t i = 0; i < 6; ++i)
            put(ramp, spans[i].first, spans[i].second, { 255, alphas[i] });
        const std::pair<size_t, size_t> spans2[]
            = { { 42, 42 }, { 43, 44 }, { 45, 46 }, { 47, 48 }, { 49, 50 }, { 51, 52 }, { 53, 53 } };
        const uint8_t alphas2[] = { 0, 5, 10, 15, 20, 25, 30 };
        for (size_t i = 0; i < 7; ++i)
            put(ramp, spans2[i].first, spans2[i].second, { 255, alphas2[i] });
        return ramp;
    }
    case TextureKind::PieEffect3:
        return computedPie(32, 0.85f, 0.75f, 3.5f);
    case TextureKind::PieEffect4:
        return computedPie(32, 0.7f, 0.95f, 5.0f);
    case TextureKind::PieEffect5: {
        std::vector<Texel> ramp(128, { 255, 0 });
        for (int i = 112; i < 122; ++i)
            ramp[static_cast<size_t>(i)].alpha = static_cast<uint8_t>(30.0 * std::sin((i - 112) * M_PI / 10.0));
        return ramp;
    }
    default:
        return {};
    }
}

} // namespace

std::vector<uint16_t> GLResources::discSpritePixels(float feather)
{
    std::vector<uint16_t> pixels(kSpriteSize * kSpriteSize);
    const float r = kSpriteSize / 2.0f;
    const float inner = r - feather / 2.0f;
    const float inner2 = inner * inner;
    for (int row = 0; row < kSpriteSize; ++row) {
        for (int column = 0; column < kSpriteSize; ++column) {
            float ax = std::fabs(column + 0.5f - r);
            float ay = std::fabs(row + 0.5f - r);
            float far = (ax + feather) * (ax + feather) + (ay + feather) * (ay + feather);
            float near = (ax - feather) * (ax - feather) + (ay - feather) * (ay - feather);
            uint16_t value = 0;
            if (far <= inner2)
                value = 0xFFFF;
            else if (near < inner2) {
                auto v = static_cast<uint16_t>(std::min(15.0f, 16.0f * (inner2 - near) / (far - near)));
                value = static_cast<uint16_t>(v << 12 | v << 8 | v << 4 | v);
            }
            pixels[static_cast<size_t>(row * kSpriteSize + column)] = value;
        }
    }
    return pixels;
}

std::vector<uint8_t> GLResources::effectRamp(TextureKind kind)
{
    std::vector<uint8_t> bytes;
    for (const auto& texel : texels(kind))
        bytes.insert(bytes.end(), { texel.grey, texel.grey, texel.grey, texel.alpha });
    return bytes;
}

void GLResources::fillTextures()
{
    for (size_t i = 0; i < m_textures.size(); ++i) {
        auto kind = static_cast<TextureKind>(i);
        gl().BindTexture(GL_TEXTURE_2D, m_textures[i]->name());
        if (kind == TextureKind::DiscSprite || kind == TextureKind::SoftDiscSprite) {
            bool soft = kind == TextureKind::SoftDiscSprite;
            auto pixels = discSpritePixels(soft ? 0.5f : 0.0f);
            gl().TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, soft ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST);
            gl().TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            gl().TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kSpriteSize, kSpriteSize, 0, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4,
                pixels.data());
            if (soft)
                gl().GenerateMipmap(GL_TEXTURE_2D);
        } else {
            auto bytes = effectRamp(kind);
            gl().TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            gl().TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            gl().TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            gl().TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            gl().TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(bytes.size() / 4), 1, 0, GL_RGBA,
                GL_UNSIGNED_BYTE, bytes.data());
        }
    }
    gl().BindTexture(GL_TEXTURE_2D, 0);
}

} // namespace LChartGL
