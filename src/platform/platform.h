// The seam between the saver and the window system: every function a
// backend provides to the host and the dialogs, listed once with its contract.
//
// Each backend fills one table (kX11Platform in src/platform/x11/,
// kWin32Platform in src/platform/win32/), and the code above the seam calls
// through `platform`, which holds this build's table unless a test has put a
// recording double in its place. The drawing surface, the screen, the settings
// store and threads have their own headers (gl_surface.h, screen.h,
// settings_store.h, thread.h) and are always the real ones.
//
// Messages carry the Win32 numbers of platform/win_messages.h on every
// platform; windows and dialogs are asked for in the style bits of
// platform/window_styles.h. The window-system terms in brackets name the
// call whose behaviour each entry reproduces.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/daemon_window.h"
#include "platform/platform_types.h"

struct DialogTemplate;

// The saver's window class name and its two window titles.
constexpr const char* kSaverClassName = "WindowsScreenSaverClass";
constexpr const char* kSaverTitleFullScreen = "Screen Saver";
constexpr const char* kSaverTitlePreview = "Preview";

struct Platform {
    // --- The saver window and its messages -------------------------------------------------

    // Registers the saver's window class with procedure proc, the program's icon, no cursor and
    // a black background (RegisterClassA). false on failure.
    bool (*registerSaverClass)(uintptr_t instance, WindowProcedure proc);
    // Creates a window of the saver's class (CreateWindowExA). WM_CREATE reaches the class
    // procedure inside this call, before the window is first shown; kWsVisible shows it after.
    // parent 0 = top level. 0 on failure.
    WindowHandle (*createSaverWindow)(uint32_t exStyle, const char* title, uint32_t style, int x,
                                      int y, int width, int height, WindowHandle parent,
                                      uintptr_t instance);
    // Delivers messages to their windows' procedures until WM_QUIT; returns the quit's wParam.
    int (*runMessageLoop)();
    // Queues the message for window, delivered by the loop; no result (PostMessageA).
    void (*postMessage)(WindowHandle window, uint32_t message, WParam wParam, LParam lParam);
    // Runs the procedure of a window of this thread now and returns its result (SendMessageA).
    MessageResult (*sendMessage)(WindowHandle window, uint32_t message, WParam wParam,
                                 LParam lParam);
    // The loop ends once the queue reaches the quit (PostQuitMessage).
    void (*postQuitMessage)(int code);
    // The system's default answer (DefWindowProcA): WM_CLOSE destroys the window, WM_DESTROY
    // reaching the class procedure first.
    MessageResult (*defWindowProc)(WindowHandle window, uint32_t message, WParam wParam,
                                   LParam lParam);
    // Removes at most one waiting message of window in first..last, without yielding
    // (PeekMessageA with PM_REMOVE | PM_NOYIELD); true when one was removed.
    bool (*removeMessage)(WindowHandle window, uint32_t first, uint32_t last);
    // The pointer's position on the screen (GetCursorPos).
    ScreenPoint (*getCursorPos)();
    // No cursor over the saver's full-screen window (SetCursor(NULL)).
    void (*hideCursor)();
    // A top-level window of that class and title, or 0 (FindWindowA).
    WindowHandle (*findWindow)(const char* className, const char* title);
    // Raises the window and gives it the input focus (SetForegroundWindow).
    void (*setForegroundWindow)(WindowHandle window);
    // The window that has the user's input now, or 0 (GetForegroundWindow).
    WindowHandle (*getForegroundWindow)();
    // True when the handle names an existing window (IsWindow).
    bool (*isWindow)(WindowHandle window);
    // The window's parent, or 0 (GetParent).
    WindowHandle (*getParent)(WindowHandle window);
    // The window's client width and height; false when it is not a window (GetClientRect).
    bool (*getClientSize)(WindowHandle window, int* width, int* height);
    // The primary screen's rectangle (GetClipBox of the screen's device context).
    ScreenRect (*getScreenClipBox)();

    // --- Dialog boxes and their controls ----------------------------------------------------
    // Controls are addressed by the dialog's window and a control id. The dialog procedure gets
    // WM_INITDIALOG once the controls exist; WM_COMMAND with the control id in the low word of
    // wParam and the notification in the high word (kBnClicked for buttons, check boxes and
    // radio buttons, kEnChange for edits); WM_HSCROLL from the trackbar with its window in
    // lParam; WM_CTLCOLORSTATIC before each static is drawn, a device context in wParam and the
    // static's window in lParam.

    // Runs the dialog described by dialog modally with proc as its procedure, owned by owner
    // (0: none). Returns the value the procedure ended it with, or -1 when the dialog is null or
    // cannot be created (DialogBoxParamA).
    int (*dialogBox)(const DialogTemplate* dialog, WindowHandle owner, WindowProcedure proc);
    // Makes the trackbar control available (InitCommonControls).
    void (*initCommonControls)();
    // Sets a control's text. For an edit this sends WM_COMMAND with kEnChange to the dialog
    // procedure before it returns; the text is set as given, whatever typing would accept.
    void (*setDlgItemText)(WindowHandle dialog, int id, const char* text);
    // Copies at most maxCount - 1 characters of the control's text into buffer and terminates
    // it; returns the count copied. A missing control gives "" and 0.
    int (*getDlgItemText)(WindowHandle dialog, int id, char* buffer, int maxCount);
    // Sets a static control's text, without notification.
    void (*setStaticText)(WindowHandle dialog, int id, const char* text);
    // Sets a check box's or radio button's check state, without notification.
    void (*checkDlgButton)(WindowHandle dialog, int id, bool checked);
    // Checks checkId and clears every other control with an id in firstId..lastId; ids without
    // a control are skipped. No notification.
    void (*checkRadioButton)(WindowHandle dialog, int firstId, int lastId, int checkId);
    // The trackbar's range, thumb position, arrow-key step and page step; none notifies.
    void (*trackbarSetRange)(WindowHandle dialog, int id, int minimum, int maximum, bool redraw);
    void (*trackbarSetPos)(WindowHandle dialog, int id, int position, bool redraw);
    void (*trackbarSetLineSize)(WindowHandle dialog, int id, int size);
    void (*trackbarSetPageSize)(WindowHandle dialog, int id, int size);
    // The trackbar's thumb position.
    int (*trackbarGetPos)(WindowHandle dialog, int id);
    // True when control (an lParam of WM_HSCROLL or WM_CTLCOLORSTATIC) is control id's window.
    bool (*isDlgItem)(WindowHandle dialog, int id, LParam control);
    // The answer to WM_CTLCOLORSTATIC for a link: text colour textColour (0x00BBGGRR), the
    // button face behind it; returns the button-face brush, the message's result.
    MessageResult (*colorStaticOnButtonFace)(WParam deviceContext, uint32_t textColour);
    // Hands target (a web address or a "mailto:" link) to the desktop's default handler and
    // returns at once; a target nothing can open fails silently.
    void (*openLink)(const char* target);
    // Ends the modal dialog: dialogBox returns result once the procedure has returned from the
    // message being handled (EndDialog).
    void (*endDialog)(WindowHandle dialog, int result);

    // --- The process ------------------------------------------------------------------------

    // The program's instance handle (GetModuleHandleA(NULL)); 0 where there is none.
    uintptr_t (*moduleInstance)();
    // True only on the Windows 95 family.
    bool (*isWin9xFamily)();
    // The next character of text in the active code page, never past the NUL (CharNextA).
    const char* (*charNext)(const char* text);
    // Ends the process with code after flushing standard output; at-exit work does not run
    // (ExitProcess). Never returns in the real program.
    void (*exitProcess)(int code);
    // Runs body(argument) under the platform's fault guard. A fault is reported the platform's
    // way, then onFault() runs and the result is faultResult; otherwise body's result.
    int (*runGuarded)(int (*body)(void* argument), void* argument, void (*onFault)(),
                      int faultResult);
    // Milliseconds since start, wrapping at 2^32 (GetTickCount).
    uint32_t (*tickCount)();
    // Sleeps; 0 gives up the rest of the time slice (Sleep).
    void (*sleep)(uint32_t milliseconds);
    // The user's "use a password" desktop setting, read into a zeroed four-byte value whatever
    // its type; false when it is missing or longer than four bytes.
    bool (*readScreenSaveUsePassword)(uint32_t* value);
    // Tells the system whether a saver runs (which locks out the task keys on Windows 95).
    void (*setScreenSaverRunning)(uint32_t value);
    // A message number unique to name, 0 on failure (RegisterWindowMessageA).
    uint32_t (*registerWindowMessage)(const char* name);
    // Loads a library by name; 0 when it cannot be loaded (LoadLibraryA).
    LibraryHandle (*loadLibrary)(const char* name);
    // A library the process has loaded already (never loads one), or 0 (GetModuleHandleA).
    LibraryHandle (*getLoadedLibrary)(const char* name);
    // An entry point of library, or 0 (GetProcAddress).
    ProcAddress (*getProcAddress)(LibraryHandle library, const char* name);
    // Releases a library from loadLibrary (FreeLibrary).
    void (*freeLibrary)(LibraryHandle library);
    // Calls entry as the password library's VerifyScreenSavePwd(window): nonzero lets the
    // saver close.
    int32_t (*callVerifyScreenSavePwd)(ProcAddress entry, WindowHandle window);
    // Calls entry as the password library's PwdChangePasswordA(provider, owner, flags,
    // reserved) and returns its result.
    uint32_t (*callPwdChangePassword)(ProcAddress entry, const char* provider, WindowHandle owner,
                                      uint32_t flags, void* reserved);
    // Calls entry as ImmAssociateContext(window, context): returns the window's previous
    // input context.
    uintptr_t (*callImmAssociateContext)(ProcAddress entry, WindowHandle window, uintptr_t context);

    // --- The saver-daemon mode (a daemon hands the saver a window) ---------------------------
    // X11 only; null in the Win32 table. One thread (the window thread) calls them all.

    // From now on SIGTERM, SIGINT and SIGHUP end waitDaemonEnd (also when they come before it
    // is called) instead of the process.
    void (*catchStopSignals)();
    // Connects to the display and resolves the window to draw in. A foreign window is checked
    // to exist; kOwn creates and shows the window. false with a one-line *message when there is
    // no display or no such window; nothing has been drawn then. From here on a window that
    // goes away is no fault of the process's.
    bool (*openDaemonWindow)(DaemonWindowKind kind, uint64_t id, DaemonWindow* out,
                             std::string* message);
    // The photograph a daemon stored on the window (its _SCREENSAVER_SCREENSHOT property: type
    // PIXMAP, format 32, one item), read at once, fitted to the window (platform/screenshot_fit.h)
    // and scaled to width x height blue-green-red bytes, top row first. false when there is none
    // or it cannot be read. The photograph is left to its owner, never freed.
    bool (*readDaemonScreenshot)(int width, int height, uint8_t* out);
    // Waits for a stop signal, the window's destruction or the window manager's close of the
    // saver's own window. Meanwhile each new size of the window is stored in *size (PackSize).
    void (*waitDaemonEnd)(std::atomic<uint64_t>* size);
    // Destroys the saver's own window, if any, and lets the display carry that out.
    void (*closeDaemonWindow)();
    // Reads a picture file (any format the system's image loader knows) scaled without
    // smoothing to width x height blue-green-red bytes, top row first. false with a one-line
    // *message when the file cannot be read as a picture.
    bool (*loadPictureFile)(const char* path, int width, int height, uint8_t* out,
                            std::string* message);
};

// The backends' tables; a build links exactly one of them.
extern const Platform kX11Platform;
extern const Platform kWin32Platform;
// This build's table.
const Platform& NativePlatform();

// What the code above the seam calls: NativePlatform() unless a test has replaced it.
extern Platform platform;
