// The saver window: class, creation, message loop and the few USER calls the
// host makes around it. Messages carry Win32 numbers (host/win_messages.h) on
// every platform. On X11 the "class" is remembered by the backend and its
// procedure receives the X events translated into those numbers.
#pragma once

#include <cstdint>

#include "platform/platform_types.h"
#include "platform/window_styles.h"

// A screen position in pixels (a POINT).
struct ScreenPoint {
    int32_t x;
    int32_t y;
};

// A rectangle in pixels (a RECT): right and bottom are exclusive.
struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The saver's class name and its two window titles.
constexpr const char* kSaverClassName = "WindowsScreenSaverClass";
constexpr const char* kSaverTitleFullScreen = "Screen Saver";
constexpr const char* kSaverTitlePreview = "Preview";

// RegisterClassA of "WindowsScreenSaverClass": styles CS_VREDRAW|CS_HREDRAW|CS_DBLCLKS|CS_OWNDC,
// procedure proc, icon resource 100 of instance, no cursor, black background. false on failure.
bool PlatformRegisterSaverClass(uintptr_t instance, WindowProcedure proc);
// CreateWindowExA on that class. WM_CREATE reaches the class procedure inside this call, before
// the window is first shown; WS_VISIBLE shows it after. parent 0 = top level. 0 on failure.
WindowHandle PlatformCreateSaverWindow(uint32_t exStyle, const char* title, uint32_t style, int x,
                                       int y, int width, int height, WindowHandle parent,
                                       uintptr_t instance);
// GetMessageA / TranslateMessage / DispatchMessageA until WM_QUIT; returns the quit's wParam.
int PlatformRunMessageLoop();
// PostMessageA: queues the message for window (delivered by the loop); no result.
void PlatformPostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
// SendMessageA to a window of this thread: runs its procedure now and returns its result.
MessageResult PlatformSendMessage(WindowHandle window, uint32_t message, WParam wParam,
                                  LParam lParam);
// PostQuitMessage(code): the loop ends once the queue reaches the quit.
void PlatformPostQuitMessage(int code);
// DefWindowProcA: WM_CLOSE destroys the window (WM_DESTROY through the class procedure first,
// then the window goes); every other message gets the system's default answer.
MessageResult PlatformDefWindowProc(WindowHandle window, uint32_t message, WParam wParam,
                                    LParam lParam);
// PeekMessageA(window, first..last, PM_REMOVE|PM_NOYIELD): removes at most one waiting message.
bool PlatformRemoveMessage(WindowHandle window, uint32_t first, uint32_t last);
// GetCursorPos: the pointer's position on the screen.
ScreenPoint PlatformGetCursorPos();
// SetCursor(NULL): no cursor over the saver's full-screen window.
void PlatformHideCursor();
// FindWindowA(className, title): a top-level window of that class and title, or 0.
WindowHandle PlatformFindWindow(const char* className, const char* title);
// SetForegroundWindow: raises the window and gives it the input focus.
void PlatformSetForegroundWindow(WindowHandle window);
// GetForegroundWindow: the window that has the user's input now, or 0.
WindowHandle PlatformGetForegroundWindow();
// IsWindow: true when the handle names an existing window.
bool PlatformIsWindow(WindowHandle window);
// GetParent: the window's parent, or 0.
WindowHandle PlatformGetParent(WindowHandle window);
// GetClientRect: the window's client width and height; false when it is not a window.
bool PlatformGetClientSize(WindowHandle window, int* width, int* height);
// GetClipBox of the screen's device context: the primary screen's rectangle.
ScreenRect PlatformGetScreenClipBox();
