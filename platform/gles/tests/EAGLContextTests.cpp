#include "gles/EAGLContext.h"

#include "gles/CAEAGLLayer.h"
#include "gles/GLCallRecorder.h"
#include "gles/SoftwareRendering.h"

#include <gtest/gtest.h>

namespace {

struct Pixel {
    int r, g, b, a;
    bool operator==(const Pixel&) const = default;
};

Pixel pixelAt(const CGImageRef& image, size_t x, size_t y)
{
    const uint8_t* p = image->bytes() + y * image->bytesPerRow() + x * 4;
    return { p[0], p[1], p[2], p[3] };
}

class EAGLContextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        preferSoftwareRendering();
        m_context = EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES2);
        ASSERT_TRUE(m_context);
        ASSERT_TRUE(EAGLContext::setCurrentContext(m_context));
        m_layer = CAEAGLLayer::layer();
        m_layer->setBounds(CGRectMake(0, 0, 40, 30));
        m_layer->setContentsScale(2);
    }
    void TearDown() override { EAGLContext::setCurrentContext(nullptr); }

    // A framebuffer whose colour renderbuffer takes its storage from the layer.
    void makeFramebuffer()
    {
        gl().GenRenderbuffers(1, &m_colour);
        gl().BindRenderbuffer(GL_RENDERBUFFER, m_colour);
        ASSERT_TRUE(m_context->renderbufferStorageFromDrawable(GL_RENDERBUFFER, m_layer));
        gl().GenFramebuffers(1, &m_framebuffer);
        gl().BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);
        ASSERT_EQ(gl().CheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }

    Ref<EAGLContext> m_context;
    Ref<CAEAGLLayer> m_layer;
    GLuint m_colour { 0 };
    GLuint m_framebuffer { 0 };
};

} // namespace

TEST_F(EAGLContextTest, PresentingCopiesTheRenderbufferIntoTheLayerTopRowFirst)
{
    makeFramebuffer();
    gl().Viewport(0, 0, 80, 60);
    gl().ClearColor(1, 0, 0, 1);
    gl().Clear(GL_COLOR_BUFFER_BIT);
    // The lower third in GL's bottom-up rows is green.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 80, 20);
    gl().ClearColor(0, 1, 0, 1);
    gl().Clear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    gl().BindRenderbuffer(GL_RENDERBUFFER, m_colour);
    ASSERT_TRUE(m_context->presentRenderbuffer(GL_RENDERBUFFER));
    auto image = m_layer->contents();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 80u);
    EXPECT_EQ(image->height(), 60u);
    EXPECT_EQ(pixelAt(image, 5, 5), (Pixel { 255, 0, 0, 255 }));
    EXPECT_EQ(pixelAt(image, 5, 55), (Pixel { 0, 255, 0, 255 }));
    // The caller's framebuffer stays bound.
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), m_framebuffer);
}

TEST_F(EAGLContextTest, MultisampledStorageResolvesIntoThePresentedRenderbuffer)
{
    makeFramebuffer();
    GLuint msaaFramebuffer = 0, msaaColour = 0, depthStencil = 0;
    gl().GenFramebuffers(1, &msaaFramebuffer);
    gl().GenRenderbuffers(1, &msaaColour);
    gl().GenRenderbuffers(1, &depthStencil);
    gl().BindFramebuffer(GL_FRAMEBUFFER, msaaFramebuffer);
    gl().BindRenderbuffer(GL_RENDERBUFFER, msaaColour);
    gl().RenderbufferStorageMultisample(GL_RENDERBUFFER, 4, kGLRGBA8, 80, 60);
    gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, msaaColour);
    gl().BindRenderbuffer(GL_RENDERBUFFER, depthStencil);
    gl().RenderbufferStorageMultisample(GL_RENDERBUFFER, 4, kGLDepth24Stencil8, 80, 60);
    gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthStencil);
    gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil);
    ASSERT_EQ(gl().CheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    gl().ClearColor(0, 0, 1, 1);
    gl().Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    gl().BindFramebuffer(kGLReadFramebuffer, msaaFramebuffer);
    gl().BindFramebuffer(kGLDrawFramebuffer, m_framebuffer);
    gl().BlitFramebuffer(0, 0, 80, 60, 0, 0, 80, 60, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    const GLenum discard[] = { GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT, GL_STENCIL_ATTACHMENT };
    gl().DiscardFramebuffer(kGLReadFramebuffer, 3, discard);
    gl().BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);

    gl().BindRenderbuffer(GL_RENDERBUFFER, m_colour);
    ASSERT_TRUE(m_context->presentRenderbuffer(GL_RENDERBUFFER));
    EXPECT_EQ(pixelAt(m_layer->contents(), 40, 30), (Pixel { 0, 0, 255, 255 }));
}

TEST_F(EAGLContextTest, ApiAvailabilityCanBeForcedForTheMultisamplingDecision)
{
    EXPECT_TRUE(EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES3));
    EAGLContext::setAPIAvailableForTesting(kEAGLRenderingAPIOpenGLES3, false);
    EXPECT_FALSE(EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES3));
    EXPECT_TRUE(EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES2));
    EAGLContext::setAPIAvailableForTesting(kEAGLRenderingAPIOpenGLES3, std::nullopt);
    EXPECT_TRUE(EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES3));
    EXPECT_FALSE(EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES1));
}

TEST_F(EAGLContextTest, PresentingARenderbufferWithoutDrawableFails)
{
    GLuint renderbuffer = 0;
    gl().GenRenderbuffers(1, &renderbuffer);
    gl().BindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    EXPECT_FALSE(m_context->presentRenderbuffer(GL_RENDERBUFFER));
}
