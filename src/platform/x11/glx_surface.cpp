// The GL surface on X11 with GLX.
//
// An X window's visual is fixed when the window is made, so the surface does
// not draw into the saver window itself. Setting a format creates, on the
// render thread's own display connection, a child window of the saver window
// with the chosen config's visual, the parent's size, mapped, and selecting
// no input, so keys and pointer events still go to the saver window. A child
// of the root window itself is override-redirect and kept lowest. Closing
// the surface destroys the context, that child and the connection.
//
// GLXFBConfigs become format records like this:
//   rgba           GLX_RENDER_TYPE has GLX_RGBA_BIT
//   drawToWindow   GLX_DRAWABLE_TYPE has GLX_WINDOW_BIT and the config has an X visual
//   supportOpenGL  GLX_X_RENDERABLE (every GLX config renders with OpenGL)
//   doubleBuffer   GLX_DOUBLEBUFFER
//   colorBits      GLX_RED_SIZE + GLX_GREEN_SIZE + GLX_BLUE_SIZE (alpha excluded)
//   depthBits      GLX_DEPTH_SIZE
//   tier           GenericSoftware when GLX_CONFIG_CAVEAT is GLX_SLOW_CONFIG, or
//                  when the screen's renderer says it is not accelerated
//                  (GLX_MESA_query_renderer: Mesa's llvmpipe and softpipe);
//                  Hardware otherwise (an accelerated direct-rendering driver,
//                  or a driver that does not answer the query). X11 has no
//                  counterpart of the generic accelerated tier.
// Multisampled configs are left out of the list, as the Win32 format list
// never holds multisampled formats; the numbers count the remaining configs.
#include "platform/x11/glx_surface.h"
#include "platform/x11/x11_connection.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <initializer_list>
#include <new>

#ifndef GLX_RENDERER_ACCELERATED_MESA
#define GLX_RENDERER_ACCELERATED_MESA 0x8186
#endif

struct GlSurface {
    Display* display = nullptr;
    int screen = 0;
    Window parent = 0;
    Window child = 0;
    Colormap colormap = 0;
    GLXFBConfig* configs = nullptr;
    int configCount = 0;
    GLXFBConfig chosen = nullptr;
    GLXContext context = nullptr;
    bool softwareRenderer = false;
};

namespace {

using QueryRendererInteger = Bool (*)(Display*, int, int, int, unsigned int*);

bool RendererIsSoftware(Display* display, int screen)
{
    const char* extensions = glXQueryExtensionsString(display, screen);
    if (!extensions || !std::strstr(extensions, "GLX_MESA_query_renderer"))
        return false;
    auto query = reinterpret_cast<QueryRendererInteger>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXQueryRendererIntegerMESA")));
    unsigned int accelerated = 1;
    if (!query || !query(display, screen, 0, GLX_RENDERER_ACCELERATED_MESA, &accelerated))
        return false;
    return accelerated == 0;
}

int Attribute(Display* display, GLXFBConfig config, int attribute)
{
    int value = 0;
    if (glXGetFBConfigAttrib(display, config, attribute, &value) != Success)
        return 0;
    return value;
}

uint8_t Bits(int value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Makes the mapped child window for config; false when it has no visual.
bool CreateChild(GlSurface* surface, GLXFBConfig config)
{
    if (surface->child)
        return false; // a window's format is set once
    XVisualInfo* visual = glXGetVisualFromFBConfig(surface->display, config);
    if (!visual)
        return false;
    XWindowAttributes parentAttributes;
    if (!XGetWindowAttributes(surface->display, surface->parent, &parentAttributes)) {
        XFree(visual);
        return false;
    }
    surface->colormap = XCreateColormap(
        surface->display, RootWindow(surface->display, visual->screen), visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = surface->colormap;
    attributes.background_pixmap = None; // the first frame paints it; no flash of a background
    attributes.border_pixel = 0;
    attributes.event_mask = 0; // all input goes on to the saver window
    // Drawn straight on the root window, the child is the desktop's own
    // picture: no window manager may frame it, and it stays below every window.
    const bool onRoot = surface->parent == RootWindow(surface->display, visual->screen);
    attributes.override_redirect = onRoot ? True : False;
    // A parent that cannot hold a drawing child (an input-only window) fails
    // here with an error of its own: trapped, it leaves the surface without a
    // window instead of ending the process.
    X11ErrorTrap trap(surface->display);
    surface->child = XCreateWindow(
        surface->display, surface->parent, 0, 0,
        static_cast<unsigned>(parentAttributes.width > 0 ? parentAttributes.width : 1),
        static_cast<unsigned>(parentAttributes.height > 0 ? parentAttributes.height : 1), 0,
        visual->depth, InputOutput, visual->visual,
        CWColormap | CWBackPixmap | CWBorderPixel | CWEventMask | CWOverrideRedirect, &attributes);
    XFree(visual);
    if (onRoot)
        XLowerWindow(surface->display, surface->child);
    XMapWindow(surface->display, surface->child);
    if (trap.Caught() && surface->child) {
        XDestroyWindow(surface->display, surface->child);
        surface->child = 0;
    }
    surface->chosen = config;
    return surface->child != 0;
}

} // namespace

GlSurface* GlxOpenGlSurface(WindowHandle window)
{
    if (window == 0)
        return nullptr;
    GlSurface* surface = new (std::nothrow) GlSurface;
    if (!surface)
        return nullptr;
    surface->display = XOpenDisplay(nullptr);
    int errorBase = 0, eventBase = 0;
    if (!surface->display || !glXQueryExtension(surface->display, &errorBase, &eventBase)) {
        GlxCloseGlSurface(surface);
        return nullptr;
    }
    surface->parent = static_cast<Window>(window);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(surface->display, surface->parent, &attributes)) {
        GlxCloseGlSurface(surface);
        return nullptr;
    }
    surface->screen = XScreenNumberOfScreen(attributes.screen);
    surface->configs = glXGetFBConfigs(surface->display, surface->screen, &surface->configCount);
    if (!surface->configs)
        surface->configCount = 0;
    int kept = 0;
    for (int i = 0; i < surface->configCount; ++i) {
        if (Attribute(surface->display, surface->configs[i], GLX_SAMPLE_BUFFERS) == 0)
            surface->configs[kept++] = surface->configs[i];
    }
    surface->configCount = kept;
    surface->softwareRenderer = RendererIsSoftware(surface->display, surface->screen);
    return surface;
}

bool GlxDescribeGlFormat(GlSurface* surface, int index, PixelFormatRecord* out)
{
    if (!surface || index < 1 || index > surface->configCount)
        return false;
    Display* display = surface->display;
    const GLXFBConfig config = surface->configs[index - 1];
    out->rgba = (Attribute(display, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0;
    out->drawToWindow = (Attribute(display, config, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0 &&
                        Attribute(display, config, GLX_VISUAL_ID) != 0;
    out->supportOpenGL = Attribute(display, config, GLX_X_RENDERABLE) != 0;
    out->doubleBuffer = Attribute(display, config, GLX_DOUBLEBUFFER) != 0;
    out->colorBits =
        Bits(Attribute(display, config, GLX_RED_SIZE) + Attribute(display, config, GLX_GREEN_SIZE) +
             Attribute(display, config, GLX_BLUE_SIZE));
    out->depthBits = Bits(Attribute(display, config, GLX_DEPTH_SIZE));
    const bool slow = Attribute(display, config, GLX_CONFIG_CAVEAT) == GLX_SLOW_CONFIG;
    out->tier = slow || surface->softwareRenderer ? PixelFormatTier::GenericSoftware
                                                  : PixelFormatTier::Hardware;
    return true;
}

bool GlxSetGlFormat(GlSurface* surface, int index)
{
    if (!surface || index < 1 || index > surface->configCount)
        return false;
    return CreateChild(surface, surface->configs[index - 1]);
}

bool GlxSetFallbackGlFormat(GlSurface* surface, const PixelFormatRecord& request)
{
    if (!surface)
        return false;
    // Like the system chooser, take the closest match: first everything that
    // was asked for, then only an RGBA window format of any kind.
    const int channel = request.colorBits / 3;
    const int full[] = {GLX_X_RENDERABLE,
                        True,
                        GLX_RENDER_TYPE,
                        GLX_RGBA_BIT,
                        GLX_DRAWABLE_TYPE,
                        GLX_WINDOW_BIT,
                        GLX_DOUBLEBUFFER,
                        request.doubleBuffer ? True : False,
                        GLX_RED_SIZE,
                        channel,
                        GLX_GREEN_SIZE,
                        channel,
                        GLX_BLUE_SIZE,
                        channel,
                        GLX_DEPTH_SIZE,
                        request.depthBits,
                        None};
    const int loose[] = {GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, None};
    for (const int* attributes : {full, loose}) {
        int count = 0;
        GLXFBConfig* configs =
            glXChooseFBConfig(surface->display, surface->screen, attributes, &count);
        if (!configs)
            continue;
        bool made = false;
        for (int i = 0; i < count && !made; ++i)
            made = CreateChild(surface, configs[i]);
        XFree(configs);
        if (made)
            return true;
        if (surface->child)
            return false;
    }
    return false;
}

bool GlxCreateGlContext(GlSurface* surface)
{
    if (!surface || !surface->child || !surface->chosen)
        return false;
    surface->context =
        glXCreateNewContext(surface->display, surface->chosen, GLX_RGBA_TYPE, nullptr, True);
    if (!surface->context)
        return false;
    return glXMakeContextCurrent(surface->display, surface->child, surface->child,
                                 surface->context);
}

void GlxGetGlClientSize(GlSurface* surface, int* width, int* height)
{
    *width = 0;
    *height = 0;
    if (!surface)
        return;
    XWindowAttributes attributes;
    const Window window = surface->child ? surface->child : surface->parent;
    if (XGetWindowAttributes(surface->display, window, &attributes)) {
        *width = attributes.width;
        *height = attributes.height;
    }
}

void GlxResizeGlSurface(GlSurface* surface, int width, int height)
{
    if (surface && surface->child && width > 0 && height > 0)
        XResizeWindow(surface->display, surface->child, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
}

void GlxSwapGlBuffers(GlSurface* surface)
{
    if (surface && surface->child)
        glXSwapBuffers(surface->display, surface->child);
}

void GlxCloseGlSurface(GlSurface* surface)
{
    if (!surface)
        return;
    if (surface->display) {
        if (surface->context) {
            glXMakeContextCurrent(surface->display, None, None, nullptr);
            glXDestroyContext(surface->display, surface->context);
        }
        if (surface->child)
            XDestroyWindow(surface->display, surface->child);
        if (surface->colormap)
            XFreeColormap(surface->display, surface->colormap);
        if (surface->configs)
            XFree(surface->configs);
        XSync(surface->display, False);
        XCloseDisplay(surface->display);
    }
    delete surface;
}
