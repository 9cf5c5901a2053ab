// The saver window on Win32: its class, creation and message loop, and the
// USER calls the host makes around it. Messages reach the host's class
// procedure unchanged, through a window procedure of the platform's calling
// convention.
#include "platform/platform.h"

#include <windows.h>

#include "platform/win32/resources/resource.h"

namespace {

WindowProcedure saverClassProcedure = nullptr;

constexpr UINT kSaverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
static_assert(kSaverClassStyle == 0x2B);

LRESULT CALLBACK SaverWindowThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!saverClassProcedure)
        return DefWindowProcA(window, message, wParam, lParam);
    return saverClassProcedure(reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
}

HWND ToHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

} // namespace

bool PlatformRegisterSaverClass(uintptr_t instance, WindowProcedure proc)
{
    saverClassProcedure = proc;
    HINSTANCE module = reinterpret_cast<HINSTANCE>(instance);
    WNDCLASSA windowClass{};
    windowClass.style = kSaverClassStyle;
    windowClass.lpfnWndProc = SaverWindowThunk;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_BRITTLEVIEW));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kSaverClassName;
    return RegisterClassA(&windowClass) != 0;
}

WindowHandle PlatformCreateSaverWindow(uint32_t exStyle, const char* title, uint32_t style, int x,
                                       int y, int width, int height, WindowHandle parent,
                                       uintptr_t instance)
{
    HWND window =
        CreateWindowExA(exStyle, kSaverClassName, title, style, x, y, width, height, ToHwnd(parent),
                        nullptr, reinterpret_cast<HINSTANCE>(instance), nullptr);
    return reinterpret_cast<WindowHandle>(window);
}

int PlatformRunMessageLoop()
{
    MSG message{};
    // GetMessageA answers -1 when it fails (it cannot with no window filter);
    // that ends the loop as a quit with code 0 would, rather than spinning.
    for (;;) {
        const BOOL status = GetMessageA(&message, nullptr, 0, 0);
        if (status == 0)
            return static_cast<int>(message.wParam);
        if (status == -1)
            return 0;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PlatformPostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    PostMessageA(ToHwnd(window), message, wParam, lParam);
}

MessageResult PlatformSendMessage(WindowHandle window, uint32_t message, WParam wParam,
                                  LParam lParam)
{
    return SendMessageA(ToHwnd(window), message, wParam, lParam);
}

void PlatformPostQuitMessage(int code)
{
    PostQuitMessage(code);
}

MessageResult PlatformDefWindowProc(WindowHandle window, uint32_t message, WParam wParam,
                                    LParam lParam)
{
    return DefWindowProcA(ToHwnd(window), message, wParam, lParam);
}

bool PlatformRemoveMessage(WindowHandle window, uint32_t first, uint32_t last)
{
    MSG message{};
    return PeekMessageA(&message, ToHwnd(window), first, last, PM_REMOVE | PM_NOYIELD) != FALSE;
}

ScreenPoint PlatformGetCursorPos()
{
    POINT point{};
    GetCursorPos(&point);
    return ScreenPoint{point.x, point.y};
}

void PlatformHideCursor()
{
    SetCursor(nullptr);
}

WindowHandle PlatformFindWindow(const char* className, const char* title)
{
    return reinterpret_cast<WindowHandle>(FindWindowA(className, title));
}

void PlatformSetForegroundWindow(WindowHandle window)
{
    SetForegroundWindow(ToHwnd(window));
}

WindowHandle PlatformGetForegroundWindow()
{
    return reinterpret_cast<WindowHandle>(GetForegroundWindow());
}

bool PlatformIsWindow(WindowHandle window)
{
    return IsWindow(ToHwnd(window)) != FALSE;
}

WindowHandle PlatformGetParent(WindowHandle window)
{
    return reinterpret_cast<WindowHandle>(GetParent(ToHwnd(window)));
}

bool PlatformGetClientSize(WindowHandle window, int* width, int* height)
{
    RECT rect{};
    if (!GetClientRect(ToHwnd(window), &rect))
        return false;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return true;
}

ScreenRect PlatformGetScreenClipBox()
{
    RECT rect{};
    HDC screen = GetDC(nullptr);
    GetClipBox(screen, &rect);
    ReleaseDC(nullptr, screen);
    return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
}
