#include "charts/gl/GLResources.h"

#include "charts/gl/tests/EngineTestSupport.h"
#include "gles/EAGLContext.h"
#include "gles/SoftwareRendering.h"

#include <gtest/gtest.h>

using namespace LChartGL;

TEST(GLResources, CompilesShadersAndLinksProgramsOnFirstUseOnly)
{
    GLCallRecorder recorder(GLCallRecorder::Mode::Fake);
    GLResources resources(throwingHandle());
    EXPECT_EQ(recorder.count("CompileShader"), 0u);
    EXPECT_EQ(recorder.count("LinkProgram"), 0u);

    GLuint flat = resources.program(ProgramKind::CartesianFlat, false).name();
    EXPECT_EQ(resources.program(ProgramKind::CartesianFlat, false).name(), flat);
    EXPECT_EQ(recorder.count("LinkProgram"), 1u);
    EXPECT_EQ(recorder.count("CompileShader"), 2u);
    // Linking leaves the program in use and reads its locations once.
    auto afterLink = recorder.callsTo({ "LinkProgram", "UseProgram" });
    EXPECT_EQ(afterLink.back(), GLCallRecorder::format("UseProgram", flat));
    EXPECT_EQ(recorder.count("GetUniformLocation"), 4u);
    EXPECT_EQ(recorder.count("GetAttribLocation"), 2u);

    // The pixel-offset program shares the flat fragment shader: one more compile, not two.
    resources.program(ProgramKind::PixelOffset, false).name();
    EXPECT_EQ(recorder.count("CompileShader"), 3u);
    // The animated variant reads the five animation uniforms too.
    recorder.clear();
    resources.program(ProgramKind::RadialFlat, true).name();
    EXPECT_EQ(recorder.count("GetUniformLocation"), 7u);
    EXPECT_EQ(recorder.count("GetAttribLocation"), 2u);
}

TEST(GLResources, AShaderThatDoesNotCompileOrAProgramThatDoesNotLinkIsFatal)
{
    GLCallRecorder recorder(GLCallRecorder::Mode::Fake);
    GLResources resources(throwingHandle());
    recorder.setFakeStatus(GL_FALSE);
    try {
        resources.program(ProgramKind::WideLine, false).name();
        FAIL() << "no fatal error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Compile shader");
    }
}

TEST(GLResources, UserTexturesAreGeneratedAndDeleted)
{
    GLCallRecorder recorder(GLCallRecorder::Mode::Fake);
    GLResources resources(throwingHandle());
    std::set<GLuint> builtIn;
    for (int i = 0; i < static_cast<int>(TextureKind::Count); ++i)
        builtIn.insert(resources.texture(static_cast<TextureKind>(i)));
    EXPECT_EQ(builtIn.size(), 12u);

    recorder.clear();
    uint8_t pixels[4 * 4 * 4] = {};
    GLuint first = resources.createTexture(pixels, GL_RGBA, GL_UNSIGNED_BYTE, 4, 4);
    GLuint second = resources.createTexture(pixels, GL_RGBA, GL_UNSIGNED_BYTE, 4, 4);
    EXPECT_EQ(recorder.count("GenTextures"), 2u);
    EXPECT_NE(first, second);
    EXPECT_FALSE(builtIn.count(first) || builtIn.count(second));
    EXPECT_EQ(recorder.callsTo({ "TexParameteri", "GenerateMipmap" })[0],
        GLCallRecorder::format("TexParameteri", GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST));
    EXPECT_EQ(resources.userTextureCount(), 2);

    resources.deleteUserTextures();
    EXPECT_EQ(recorder.callsTo({ "DeleteTextures" }), std::vector<std::string> { "DeleteTextures(2, p)" });
    resources.deleteUserTextures();
    EXPECT_EQ(recorder.count("DeleteTextures"), 1u);
}

TEST(GLResources, TexturesAreReadWithTightlyPackedRows)
{
    GLCallRecorder recorder(GLCallRecorder::Mode::Fake);
    GLResources resources(throwingHandle());
    recorder.clear();
    // An alpha image 2 wide has 2-byte rows; GL's default 4-byte row alignment would read a
    // 2 × 2 image as 6 bytes from a 4-byte buffer.
    uint8_t pixels[2 * 2] = {};
    resources.createTexture(pixels, GL_ALPHA, GL_UNSIGNED_BYTE, 2, 2);
    auto calls = recorder.callsTo({ "PixelStorei", "TexImage2D" });
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], GLCallRecorder::format("PixelStorei", GL_UNPACK_ALIGNMENT, 1));
}

TEST(GLResources, UserTexturesFollowTheBuiltInOnesInAFreshContext)
{
    preferSoftwareRendering();
    auto context = EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES2);
    ASSERT_TRUE(EAGLContext::setCurrentContext(context));
    {
        GLResources resources(throwingHandle());
        uint8_t pixels[4] = { 255, 255, 255, 255 };
        EXPECT_EQ(resources.createTexture(pixels, GL_RGBA, GL_UNSIGNED_BYTE, 1, 1), 13u);
        EXPECT_EQ(resources.createTexture(pixels, GL_RGBA, GL_UNSIGNED_BYTE, 1, 1), 14u);
        // Every program links against the real compiler.
        for (int kind = 0; kind < static_cast<int>(ProgramKind::Count); ++kind) {
            SCOPED_TRACE(kind);
            EXPECT_NE(resources.program(static_cast<ProgramKind>(kind), false).name(), 0u);
            EXPECT_NE(resources.program(static_cast<ProgramKind>(kind), true).name(), 0u);
        }
    }
    EAGLContext::setCurrentContext(nullptr);
}

TEST(GLResources, BuiltInTexturesHoldTheirSpritesAndRamps)
{
    auto disc = GLResources::discSpritePixels(0);
    EXPECT_EQ(disc[128 * 256 + 128], 0xFFFF);
    EXPECT_EQ(disc[0], 0);
    auto soft = GLResources::discSpritePixels(0.5f);
    int partial = 0;
    for (int column = 0; column < 256; ++column) {
        uint16_t value = soft[128 * 256 + column];
        if (value != 0 && value != 0xFFFF) {
            ++partial;
            EXPECT_EQ(value, (value & 0xF) * 0x1111);
        }
    }
    EXPECT_GE(partial, 2);

    struct Case {
        TextureKind kind;
        size_t texel;
        uint8_t grey, alpha;
    };
    const Case cases[] = {
        { TextureKind::PieEffect5, 117, 255, 30 },
        { TextureKind::PieEffect5, 111, 255, 0 },
        { TextureKind::PieEffect5, 122, 255, 0 },
        { TextureKind::PieEffect3, 0, 0, 199 },
        { TextureKind::PieEffect3, 15, 21, 6 },
        { TextureKind::PieEffect3, 16, 21, 6 },
        { TextureKind::DonutEffect1, 31, 0, 222 },
        { TextureKind::DonutEffect1, 23, 4, 8 },
        { TextureKind::DonutEffect5, 53, 255, 30 },
        { TextureKind::PieEffect1, 63, 0, 255 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texel);
        auto ramp = GLResources::effectRamp(c.kind);
        ASSERT_LT(c.texel * 4 + 3, ramp.size());
        EXPECT_EQ(ramp[c.texel * 4], c.grey);
        EXPECT_EQ(ramp[c.texel * 4 + 3], c.alpha);
    }
    EXPECT_EQ(GLResources::effectRamp(TextureKind::DonutEffect3).size(), 16u * 4);
}
