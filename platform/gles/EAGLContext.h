#pragma once

#include "foundation/NSObject.h"
#include "gles/GLFunctions.h"

#include <map>
#include <optional>

class CAEAGLLayer;

enum EAGLRenderingAPI : int32_t {
    kEAGLRenderingAPIOpenGLES1 = 1,
    kEAGLRenderingAPIOpenGLES2 = 2,
    kEAGLRenderingAPIOpenGLES3 = 3,
};

// A GL ES rendering context, backed by an EGL context on Mesa's surfaceless platform (no display,
// no window system). It never has a window surface: what it draws goes to framebuffer objects,
// and a renderbuffer given storage from a GL layer is read back into that layer when presented.
// Main thread only (each thread has its own current context).
class EAGLContext : public NSObject {
    VX_OBJECT(EAGLContext, NSObject)
public:
    explicit EAGLContext(Passkey);
    ~EAGLContext() override;

    // Null when the API cannot be had (no driver, or the version is not offered).
    static Ref<EAGLContext> initWithAPI(EAGLRenderingAPI api);
    EAGLRenderingAPI API() const { return m_api; }

    // Makes `context` current on this thread (null: none). False when EGL refuses.
    static bool setCurrentContext(const Ref<EAGLContext>& context);
    static Ref<EAGLContext> currentContext();

    // Gives the renderbuffer bound to `target` colour storage the size of the drawable's bounds
    // times its contents scale (RGBA8), and remembers the drawable for presenting.
    bool renderbufferStorageFromDrawable(GLenum target, const Ref<CAEAGLLayer>& drawable);
    // Reads the renderbuffer bound to `target` back into its drawable's contents (top row first).
    // False when the renderbuffer has no drawable.
    bool presentRenderbuffer(GLenum target);

    // Test seam: pretend an API version is (or is not) offered; nullopt asks the driver again.
    static void setAPIAvailableForTesting(EAGLRenderingAPI api, std::optional<bool> available);

private:
    EAGLRenderingAPI m_api { kEAGLRenderingAPIOpenGLES2 };
    void* m_context { nullptr };
    std::map<GLuint, Weak<CAEAGLLayer>> m_drawables;
};
