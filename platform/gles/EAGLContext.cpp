#include "gles/EAGLContext.h"

#include "foundation/NSLog.h"
#include "gles/CAEAGLLayer.h"
#include "graphics/CGImage.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// The process's one EGL display on Mesa's surfaceless platform, opened on first use.
struct Display {
    EGLDisplay display { EGL_NO_DISPLAY };
    EGLConfig config { nullptr };
    bool noConfigContexts { false };
};

const Display& display()
{
    static const Display s_display = [] {
        Display result;
        auto getPlatformDisplay
            = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!getPlatformDisplay) {
            NSLog("EAGLContext: EGL has no platform displays");
            return result;
        }
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
            NSLog("EAGLContext: no surfaceless EGL display");
            return result;
        }
        eglBindAPI(EGL_OPENGL_ES_API);
        const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
        result.noConfigContexts = extensions && std::strstr(extensions, "EGL_KHR_no_config_context");
        if (!result.noConfigContexts) {
            const EGLint attributes[] = { EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_NONE };
            EGLint count = 0;
            if (!eglChooseConfig(display, attributes, &result.config, 1, &count) || count < 1) {
                NSLog("EAGLContext: no GL ES configuration");
                return result;
            }
        }
        result.display = display;
        return result;
    }();
    return s_display;
}

std::mutex s_availabilityLock;
std::map<EAGLRenderingAPI, bool> s_forcedAvailability;

thread_local Ref<EAGLContext> t_current;

} // namespace

EAGLContext::EAGLContext(Passkey key)
    : NSObject(key)
{
}

EAGLContext::~EAGLContext()
{
    if (m_context)
        eglDestroyContext(display().display, static_cast<EGLContext>(m_context));
}

Ref<EAGLContext> EAGLContext::initWithAPI(EAGLRenderingAPI api)
{
    {
        std::lock_guard lock(s_availabilityLock);
        auto forced = s_forcedAvailability.find(api);
        if (forced != s_forcedAvailability.end() && !forced->second)
            return nullptr;
    }
    if (api != kEAGLRenderingAPIOpenGLES2 && api != kEAGLRenderingAPIOpenGLES3)
        return nullptr;
    const auto& shared = display();
    if (shared.display == EGL_NO_DISPLAY)
        return nullptr;
    const EGLint attributes[] = { EGL_CONTEXT_MAJOR_VERSION, api, EGL_NONE };
    EGLContext context = eglCreateContext(
        shared.display, shared.noConfigContexts ? EGL_NO_CONFIG_KHR : shared.config, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT)
        return nullptr;
    auto result = make<EAGLContext>();
    result->m_api = api;
    result->m_context = context;
    return result;
}

bool EAGLContext::setCurrentContext(const Ref<EAGLContext>& context)
{
    const auto& shared = display();
    if (shared.display == EGL_NO_DISPLAY)
        return !context;
    EGLContext egl = context ? static_cast<EGLContext>(context->m_context) : EGL_NO_CONTEXT;
    if (!eglMakeCurrent(shared.display, EGL_NO_SURFACE, EGL_NO_SURFACE, egl))
        return false;
    t_current = context;
    return true;
}

Ref<EAGLContext> EAGLContext::currentContext()
{
    return t_current;
}

bool EAGLContext::renderbufferStorageFromDrawable(GLenum target, const Ref<CAEAGLLayer>& drawable)
{
    if (!drawable)
        return false;
    GLint renderbuffer = 0;
    gl().GetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    if (renderbuffer == 0)
        return false;
    CGFloat scale = drawable->contentsScale();
    auto width = static_cast<GLsizei>(std::floor(drawable->bounds().size.width * scale));
    auto height = static_cast<GLsizei>(std::floor(drawable->bounds().size.height * scale));
    gl().RenderbufferStorage(target, kGLRGBA8, std::max(width, 0), std::max(height, 0));
    m_drawables[static_cast<GLuint>(renderbuffer)] = drawable;
    return true;
}

bool EAGLContext::presentRenderbuffer(GLenum target)
{
    GLint renderbuffer = 0;
    gl().GetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    auto found = m_drawables.find(static_cast<GLuint>(renderbuffer));
    if (found == m_drawables.end())
        return false;
    auto layer = found->second.lock();
    if (!layer)
        return false;
    GLint width = 0;
    GLint height = 0;
    gl().GetRenderbufferParameteriv(target, GL_RENDERBUFFER_WIDTH, &width);
    gl().GetRenderbufferParameteriv(target, GL_RENDERBUFFER_HEIGHT, &height);
    if (width <= 0 || height <= 0) {
        layer->setContents(nullptr);
        return true;
    }

    // Read through a framebuffer of our own, so whatever the caller has bound stays bound.
    GLint previous = 0;
    gl().GetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    GLuint framebuffer = 0;
    gl().GenFramebuffers(1, &framebuffer);
    gl().BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffer);
    size_t rowBytes = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> pixels(rowBytes * static_cast<size_t>(height));
    gl().PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl().ReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    gl().BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    gl().DeleteFramebuffers(1, &framebuffer);

    // GL's first row is the bottom one; images start at the top.
    std::vector<uint8_t> flipped(pixels.size());
    for (GLint row = 0; row < height; ++row)
        std::memcpy(flipped.data() + static_cast<size_t>(row) * rowBytes,
            pixels.data() + static_cast<size_t>(height - 1 - row) * rowBytes, rowBytes);
    auto image = CGImageCreate(static_cast<size_t>(width), static_cast<size_t>(height), 8, 32, rowBytes,
        CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big,
        CGDataProviderCreateWithBytes(std::move(flipped)), nullptr, false, kCGRenderingIntentDefault);
    layer->setContents(image);
    return true;
}

void EAGLContext::setAPIAvailableForTesting(EAGLRenderingAPI api, std::optional<bool> available)
{
    std::lock_guard lock(s_availabilityLock);
    if (available)
        s_forcedAvailability[api] = *available;
    else
        s_forcedAvailability.erase(api);
}
