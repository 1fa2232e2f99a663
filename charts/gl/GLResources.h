#pragma once

#include "charts/gl/GLObject.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace LChartGL {

enum class ProgramKind {
    CartesianFlat,
    UniformSizeSprite,
    PerVertexSizeSprite,
    UniformSizeSpriteCutOff,
    PixelOffset,
    WideLine,
    RadialFlat,
    RadialTextured,
    RadialWideLine,
    Count
};

enum class TextureKind {
    DiscSprite,
    SoftDiscSprite,
    DonutEffect1,
    DonutEffect2,
    PieEffect1,
    PieEffect2,
    DonutEffect3,
    PieEffect3,
    DonutEffect4,
    PieEffect4,
    DonutEffect5,
    PieEffect5,
    Count
};

// The five vertex buffers behind the drawer's buffer sets, in the sets' order.
enum class BufferKind { Vertices, Indices, RadialVertices, OffsetVertices, VerticesWithWidth, Count };

// Every GL object the engine draws with: vertex buffers, shaders and programs (compiled and
// linked the first time they are used, so a chart that never draws a pie never builds the radial
// programs), the built-in textures (computed here at construction) and the user textures made
// from images. Made by the drawer with its context current. Main thread only.
class GLResources {
public:
    explicit GLResources(ErrorHandlerHandleRef handle);
    ~GLResources();
    GLResources(const GLResources&) = delete;
    GLResources& operator=(const GLResources&) = delete;

    VertexBuffer& buffer(BufferKind kind) { return *m_buffers[static_cast<size_t>(kind)]; }
    // The plain or animated variant of a program.
    Program& program(ProgramKind kind, bool animated)
    {
        return *m_programs[static_cast<size_t>(kind) * 2 + (animated ? 1 : 0)];
    }
    GLuint texture(TextureKind kind) { return m_textures[static_cast<size_t>(kind)]->name(); }

    // Uploads a user texture (mipmapped, left bound) and answers its name. The name comes from
    // glGenTextures, so it can never collide with a texture made elsewhere in the context.
    GLuint createTexture(const void* pixels, GLenum format, GLenum type, GLsizei width, GLsizei height);
    // Deletes every user texture made so far.
    void deleteUserTextures();
    // Deletes those of `names` that are user textures not deleted yet; other names are left alone.
    void deleteUserTextures(const std::vector<GLuint>& names);
    int32_t userTextureCount() const { return m_userTextureCount; }
    // The user textures made and not deleted yet.
    size_t liveUserTextureCount() const { return m_userTextures.size(); }

    // The texel bytes of the built-in textures, for tests: 16-bit RGBA 4-4-4-4 values for the
    // sprites (as bytes in memory order), RGBA bytes for the ramps.
    static std::vector<uint16_t> discSpritePixels(float feather);
    static std::vector<uint8_t> effectRamp(TextureKind kind);

private:
    void makeShadersAndPrograms();
    void fillTextures();

    int32_t m_userTextureCount { 0 };
    ErrorHandlerHandleRef m_handle;
    std::array<std::unique_ptr<VertexBuffer>, static_cast<size_t>(BufferKind::Count)> m_buffers;
    std::vector<std::string> m_sources;
    std::vector<std::shared_ptr<Shader>> m_shaders;
    std::vector<std::unique_ptr<Program>> m_programs;
    std::array<std::unique_ptr<Texture>, static_cast<size_t>(TextureKind::Count)> m_textures;
    std::vector<GLuint> m_userTextures;
};

} // namespace LChartGL
