// The GDI capture and the WGL surface under Wine, on the private X display
// with Mesa's software renderer behind Wine's OpenGL.
#include <windows.h>

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/pixel_format.h"
#include "platform/gl_surface.h"
#include "platform/screen.h"

namespace {

void LetTheScreenCatchUp()
{
    MSG message;
    for (int i = 0; i < 20; ++i, Sleep(25))
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
}

// A topmost popup of its own class, filled with brush (none: left to GL).
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

TEST(Win32GlSurface, FormatsMatchTheirDescriptorsAndTheChosenOneDrawsAndSwaps)
{
    HWND window = MakeWindow("BvGl", nullptr, 0, 0, 64, 48);
    GlSurface* surface = OpenGlSurface(reinterpret_cast<WindowHandle>(window));
    ASSERT_NE(surface, nullptr);
    HDC dc = GetDC(window);
    std::vector<PixelFormatRecord> formats;
    PixelFormatRecord record{};
    while (DescribeGlFormat(surface, static_cast<int>(formats.size()) + 1, &record)) {
        PIXELFORMATDESCRIPTOR pfd{};
        DescribePixelFormat(dc, static_cast<int>(formats.size()) + 1, sizeof(pfd), &pfd);
        EXPECT_EQ(record.doubleBuffer, (pfd.dwFlags & PFD_DOUBLEBUFFER) != 0);
        EXPECT_EQ(record.supportOpenGL, (pfd.dwFlags & PFD_SUPPORT_OPENGL) != 0);
        EXPECT_EQ(record.drawToWindow, (pfd.dwFlags & PFD_DRAW_TO_WINDOW) != 0);
        EXPECT_EQ(record.rgba, pfd.iPixelType == PFD_TYPE_RGBA);
        EXPECT_EQ(record.colorBits, pfd.cColorBits);
        EXPECT_EQ(record.depthBits, pfd.cDepthBits);
        EXPECT_EQ(record.tier, !(pfd.dwFlags & PFD_GENERIC_FORMAT) ? PixelFormatTier::Hardware
                               : (pfd.dwFlags & PFD_GENERIC_ACCELERATED)
                                   ? PixelFormatTier::GenericAccelerated
                                   : PixelFormatTier::GenericSoftware);
        formats.push_back(record);
    }
    const int count = DescribePixelFormat(dc, 1, 0, nullptr);
    ASSERT_GT(count, 0);
    EXPECT_EQ(static_cast<int>(formats.size()), count) << "every format and no more";

    const int best = SetupPixelFormat(formats.data(), count);
    ASSERT_NE(best, kUseFallbackFormat) << "Wine offers double-buffered RGBA window formats";
    ASSERT_TRUE(SetGlFormat(surface, best));
    EXPECT_EQ(GetPixelFormat(dc), best);
    ReleaseDC(window, dc);
    ASSERT_TRUE(CreateGlContext(surface));
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapGlBuffers(surface);
    LetTheScreenCatchUp();
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, 10, 10), RGB(0, 255, 0)) << "the swap shows the drawing";
    ReleaseDC(nullptr, screen);
    CloseGlSurface(surface);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    DestroyWindow(window);
}

} // namespace
