#include "backends/win32/win32_window.h"

#include <windows.h>

#include "output/output_window.h"

namespace {
HWND AsWindow(WindowHandle window) { return static_cast<HWND>(window); }

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, OutputWindowEvent event,
                 int32_t value = 0) {
    if (HandleOutputWindowEvent(window, event, value)) return DefWindowProcA(window, message, wParam, lParam);
    return 0;
}

// Only translates: what each message means lives with the output window.
LRESULT CALLBACK OutputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        return Dispatch(window, message, wParam, lParam, OutputWindowEvent::keyDown, int32_t(wParam));
    case WM_LBUTTONDOWN:
        return Dispatch(window, message, wParam, lParam, OutputWindowEvent::leftButtonDown);
    case WM_RBUTTONDOWN:
        return Dispatch(window, message, wParam, lParam, OutputWindowEvent::rightButtonDown);
    case WM_SIZE:
        return Dispatch(window, message, wParam, lParam, OutputWindowEvent::size, wParam == SIZE_MINIMIZED ? 1 : 0);
    case WM_MOVE:
        return Dispatch(window, message, wParam, lParam, OutputWindowEvent::move);
    case WM_TIMER:
        return Dispatch(window, message, wParam, lParam, OutputWindowEvent::timer, int32_t(wParam));
    case WM_CLOSE:
        return Dispatch(window, message, wParam, lParam, OutputWindowEvent::close);
    case WM_DESTROY:
        return Dispatch(window, message, wParam, lParam, OutputWindowEvent::destroy);
    case WM_CREATE:
        return 0;
    case WM_PAINT: {
        // Frames arrive from the render thread; there is nothing to draw here.
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

class Win32WindowSystem final : public WindowSystem {
public:
    bool RegisterWindowClass(const WindowClassSpec& spec) override {
        WNDCLASSA windowClass{};
        windowClass.style = 0;
        windowClass.lpfnWndProc = OutputWindowProc;
        windowClass.hInstance = static_cast<HINSTANCE>(spec.instance);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.lpszClassName = spec.name;
        return RegisterClassA(&windowClass) != 0;
    }

    void UnregisterWindowClass(const WindowClassSpec& spec) override {
        UnregisterClassA(spec.name, static_cast<HINSTANCE>(spec.instance));
    }

    WindowHandle OpenWindow(const WindowSpec& spec) override {
        const WindowPlacement& p = spec.placement;
        return CreateWindowExA(0, spec.className, spec.title, spec.style, p.x, p.y, p.width, p.height,
                               AsWindow(spec.parent), nullptr, static_cast<HINSTANCE>(spec.instance), nullptr);
    }

    void DestroyWindow(WindowHandle window) override { ::DestroyWindow(AsWindow(window)); }

    void ClientSize(WindowHandle window, int32_t* width, int32_t* height) override {
        RECT rect{};
        GetClientRect(AsWindow(window), &rect);
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
    }

    WindowPlacement OuterRectangle(WindowHandle window) override {
        RECT rect{};
        GetWindowRect(AsWindow(window), &rect);
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }

    bool IsMinimised(WindowHandle window) override { return IsIconic(AsWindow(window)) != 0; }

    void MoveWindow(WindowHandle window, const WindowPlacement& p) override {
        SetWindowPos(AsWindow(window), nullptr, p.x, p.y, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void SetTimer(WindowHandle window, int id, int milliseconds) override {
        ::SetTimer(AsWindow(window), UINT_PTR(id), UINT(milliseconds), nullptr);
    }

    void KillTimer(WindowHandle window, int id) override { ::KillTimer(AsWindow(window), UINT_PTR(id)); }
    void ShowCursor() override { ::ShowCursor(TRUE); }
    void PostQuit() override { PostQuitMessage(0); }
};

Win32WindowSystem win32WindowSystem;
}  // namespace

WindowSystem& Win32Windows() { return win32WindowSystem; }
