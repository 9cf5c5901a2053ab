// The system services under Wine: the GDI capture on the private X display and
// the program's preview in a window of this one.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/screen.h"

namespace {

// Handles this thread's messages for about the given time.
void Pump(int milliseconds)
{
    MSG message;
    for (int i = 0; i < milliseconds / 25; ++i, Sleep(25))
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
}

// A topmost popup of its own class, filled with brush.
HWND MakeWindow(const char* className, HBRUSH brush, int x, int y, int width, int height)
{
    const WNDCLASSA windowClass{CS_OWNDC, DefWindowProcA, 0,     0,       GetModuleHandleA(nullptr),
                                nullptr,  nullptr,        brush, nullptr, className};
    RegisterClassA(&windowClass); // fails harmlessly when already registered
    return CreateWindowExA(WS_EX_TOPMOST, className, className, WS_POPUP | WS_VISIBLE, x, y, width,
                           height, nullptr, nullptr, windowClass.hInstance, nullptr);
}

TEST(Win32Screen, CaptureIsScaledTopRowFirstBlueGreenRed)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN),
              screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // The screen in quadrants: red, green / blue, white.
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    HWND quadrants[4];
    for (int i = 0; i < 4; ++i)
        quadrants[i] = MakeWindow((std::string("BvQuadrant") += static_cast<char>('0' + i)).c_str(),
                                  CreateSolidBrush(colours[i]), i % 2 * screenWidth / 2,
                                  i / 2 * screenHeight / 2, screenWidth / 2, screenHeight / 2);
    Pump(500);
    // 30 wide: rows of 90 bytes, which GDI pads to 92 and the capture must not.
    std::vector<uint8_t> captured(30 * 20 * 3, 0xAB);
    ASSERT_TRUE(CapturePrimaryScreen(30, 20, captured.data()));
    // Top left red and bottom right white, in blue-green-red order, top row first.
    EXPECT_EQ(std::vector(captured.begin(), captured.begin() + 3),
              (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(std::vector(captured.end() - 3, captured.end()), (std::vector<uint8_t>(3, 255)));
    for (HWND window : quadrants)
        DestroyWindow(window);
}

// The display control panel's part: the saver built next to this program, started with
// "/p <window>", fills that window with a visible child and ends by itself with 0 once
// the window goes.
TEST(Win32Preview, FillsItsParentAndEndsWithIt)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH); // <build>\tests\unit_tests.exe
    std::string line = path;
    line =
        "\"" + line.substr(0, line.rfind('\\', line.rfind('\\') - 1)) + "\\brittleview.scr\" /p ";
    HWND host = MakeWindow("BvPreviewHost", GetSysColorBrush(COLOR_WINDOW), 100, 100, 200, 150);
    line += std::to_string(reinterpret_cast<uintptr_t>(host));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process))
        << line;
    // Found while its creation (the desktop capture, the render thread's start) still runs;
    // WS_VISIBLE shows it once that returns.
    HWND preview = nullptr;
    for (int i = 0; i < 250 && !(preview && IsWindowVisible(preview)); ++i, Pump(100))
        preview = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview");
    RECT hostRect{}, previewRect{};
    GetClientRect(host, &hostRect);
    GetClientRect(preview, &previewRect);
    EXPECT_TRUE(preview && IsWindowVisible(preview) &&
                GetWindowLongA(preview, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(std::make_pair(previewRect.right, previewRect.bottom),
              std::make_pair(hostRect.right, hostRect.bottom));
    DestroyWindow(host);
    DWORD exitCode = 1234;
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace
