// The outline of the forms window on X: only the forms (and their lists and hints)
// belong to it, so the desktop shows between forms that stand apart, as between
// separate windows. Kept apart from the other files: Xlib's macros clash with theirs.

#include "platform/sdl/forms_shape.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(QUORVEL_HAVE_XSHAPE) && defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#define QUORVEL_SHAPE_X11 1
#endif

namespace quorvel::sdl {

bool SetWindowOutline(SDL_Window* window, const std::vector<OutlineRect>* rects) {
#ifdef QUORVEL_SHAPE_X11
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    ::Display* display = info.info.x11.display;
    const ::Window xwindow = info.info.x11.window;
    int event = 0, error = 0;
    if (!display || !XShapeQueryExtension(display, &event, &error)) return false;
    if (!rects) {
        XShapeCombineMask(display, xwindow, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
        std::vector<XRectangle> xr;
        for (const OutlineRect& r : *rects)
            if (r.w > 0 && r.h > 0)
                xr.push_back({short(r.x), short(r.y), static_cast<unsigned short>(r.w),
                              static_cast<unsigned short>(r.h)});
        XShapeCombineRectangles(display, xwindow, ShapeBounding, 0, 0, xr.data(), int(xr.size()), ShapeSet,
                                Unsorted);
    }
    XFlush(display);
    return true;
#else
    (void)window;
    (void)rects;
    return false;
#endif
}

}  // namespace quorvel::sdl
