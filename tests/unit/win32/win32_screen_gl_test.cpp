// The GDI capture under Wine, on the private X display.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/screen.h"

namespace {

void LetTheScreenCatchUp()
{
    MSG message;
    for (int i = 0; i < 20; ++i, Sleep(25))
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
    LetTheScreenCatchUp();
    // 30 wide: rows of 90 bytes, which GDI pads to 92 and the capture must not.
    for (const auto& [width, height] : {std::pair{512, 256}, std::pair{30, 20}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        std::vector<uint8_t> captured(static_cast<size_t>(width) * height * 3, 0xAB);
        ASSERT_TRUE(CapturePrimaryScreen(width, height, captured.data()));
        // Top left red and bottom right white, in blue-green-red order, top row first.
        EXPECT_EQ(std::vector(captured.begin(), captured.begin() + 3),
                  (std::vector<uint8_t>{0, 0, 255}));
        EXPECT_EQ(std::vector(captured.end() - 3, captured.end()), (std::vector<uint8_t>(3, 255)));
    }
    for (HWND window : quadrants)
        DestroyWindow(window);
    uint8_t unused[3];
    EXPECT_FALSE(CapturePrimaryScreen(0, 10, unused));
    EXPECT_FALSE(CapturePrimaryScreen(10, -1, unused));
}

} // namespace
