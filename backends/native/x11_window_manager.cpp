#include "backends/native/x11_window_manager.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace {
// A manager that has gone leaves its properties on the root window, naming windows that
// are gone too; asking about those is an X error, which must not end the program.
bool failed = false;
int NoteError(Display*, XErrorEvent*) {
    failed = true;
    return 0;
}

// The values of a property of 32-bit items of the given type; none when it is not there.
std::vector<unsigned long> Property(Display* display, Window of, const char* name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    const Atom property = XInternAtom(display, name, False);
    // At most 4096 items: more hints than any manager announces.
    const int status =
        XGetWindowProperty(display, of, property, 0, 4096, False, type, &actualType, &format, &count, &after, &data);
    if (status != Success || !data) return values;
    // Xlib hands 32-bit items over as longs.
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    if (actualType == type && format == 32) values.assign(items, items + count);
    XFree(data);
    return values;
}
}  // namespace

bool WindowManagerDoesFullscreen(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return true;
    Display* display = info.info.x11.display;
    const Window root = DefaultRootWindow(display);
    XSync(display, False);
    failed = false;
    XErrorHandler previous = XSetErrorHandler(NoteError);
    // A running manager's check window names itself.
    const std::vector<unsigned long> check = Property(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    bool running = check.size() == 1;
    if (running) {
        const std::vector<unsigned long> itself =
            Property(display, Window(check[0]), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
        XSync(display, False);
        running = !failed && itself.size() == 1 && itself[0] == check[0];
    }
    bool fullscreen = false;
    if (running) {
        const unsigned long wanted = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
        for (unsigned long atom : Property(display, root, "_NET_SUPPORTED", XA_ATOM))
            fullscreen = fullscreen || atom == wanted;
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return fullscreen;
}
