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
#include "unit/win32/win32_test_support.h"

namespace {

// Paints its client area in quadrants: red, green / blue, white.
LRESULT CALLBACK QuadrantProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const LONG midX = client.right / 2, midY = client.bottom / 2;
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    for (int i = 0; i < 4; ++i) {
        RECT rect = {i % 2 ? midX : 0, i / 2 ? midY : 0, i % 2 ? client.right : midX,
                     i / 2 ? client.bottom : midY};
        HBRUSH brush = CreateSolidBrush(colours[i]);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
    EndPaint(window, &paint);
    return 0;
}

HWND MakeWindow(const char* className, WNDPROC proc, int width, int height)
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass); // fails harmlessly when already registered
    HWND window = CreateWindowExA(WS_EX_TOPMOST, className, className, WS_POPUP | WS_VISIBLE, 0, 0,
                                  width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    UpdateWindow(window);
    for (int i = 0; i < 20; ++i) { // let the window reach the screen
        PumpMessages();
        Sleep(25);
    }
    return window;
}

// The capture done pixel by pixel with GetPixel: the reference for the bulk read.
std::vector<uint8_t> CaptureByGetPixel(int width, int height)
{
    HDC desktopDc = GetWindowDC(GetDesktopWindow());
    HDC memoryDc = CreateCompatibleDC(desktopDc);
    HBITMAP bitmap = CreateCompatibleBitmap(desktopDc, width, height);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    StretchBlt(memoryDc, 0, 0, width, height, desktopDc, 0, 0, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN), SRCCOPY);
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF value = GetPixel(memoryDc, x, y);
            pixels.insert(pixels.end(), {GetBValue(value), GetGValue(value), GetRValue(value)});
        }
    }
    SelectObject(memoryDc, previous);
    ReleaseDC(GetDesktopWindow(), desktopDc);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    return pixels;
}

TEST(Win32Screen, CaptureIsScaledTopRowFirstBlueGreenRedAndMatchesPixelReads)
{
    REQUIRE_DESKTOP();
    int screenWidth = -1, screenHeight = -1;
    GetPrimaryScreenSize(&screenWidth, &screenHeight);
    EXPECT_EQ(screenWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screenHeight, GetSystemMetrics(SM_CYSCREEN));
    HWND window = MakeWindow("BvQuadrants", QuadrantProc, screenWidth, screenHeight);
    ASSERT_NE(window, nullptr);
    // 30 wide: rows of 90 bytes, which GDI pads to 92 and the capture must not.
    for (const auto& [width, height] : {std::pair{512, 256}, std::pair{30, 20}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        std::vector<uint8_t> captured(static_cast<size_t>(width) * height * 3, 0xAB);
        ASSERT_TRUE(CapturePrimaryScreen(width, height, captured.data()));
        EXPECT_EQ(captured, CaptureByGetPixel(width, height));
        auto pixel = [&](int x, int y) {
            const uint8_t* at = &captured[(static_cast<size_t>(y) * width + x) * 3];
            return RGB(at[2], at[1], at[0]);
        };
        EXPECT_EQ(pixel(0, 0), RGB(255, 0, 0));
        EXPECT_EQ(pixel(width - 1, 0), RGB(0, 255, 0));
        EXPECT_EQ(pixel(0, height - 1), RGB(0, 0, 255));
        EXPECT_EQ(pixel(width - 1, height - 1), RGB(255, 255, 255));
    }
    DestroyWindow(window);
    uint8_t unused[3];
    EXPECT_FALSE(CapturePrimaryScreen(0, 10, unused));
    EXPECT_FALSE(CapturePrimaryScreen(10, -1, unused));
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Win32GlSurface, FormatsMatchTheirDescriptorsAndTheChosenOneDrawsAndSwaps)
{
    REQUIRE_DESKTOP();
    HWND window = MakeWindow("BvGl", PlainProc, 64, 48);
    GlSurface* surface = OpenGlSurface(reinterpret_cast<WindowHandle>(window));
    ASSERT_NE(surface, nullptr);
    HDC dc = GetDC(window);
    const int count = DescribePixelFormat(dc, 1, 0, nullptr);
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
    ASSERT_GT(count, 0);
    EXPECT_EQ(static_cast<int>(formats.size()), count) << "every format and no more";

    const int best = SetupPixelFormat(formats.data(), count);
    ASSERT_NE(best, kUseFallbackFormat) << "Wine offers double-buffered RGBA window formats";
    ASSERT_TRUE(SetGlFormat(surface, best));
    EXPECT_EQ(GetPixelFormat(dc), best);
    ASSERT_TRUE(CreateGlContext(surface));
    int width = 0, height = 0;
    GetGlClientSize(surface, &width, &height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);

    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapGlBuffers(surface);
    COLORREF shown = 0;
    for (int i = 0; i < 40 && shown != RGB(0, 255, 0); ++i) { // the screen under the window
        PumpMessages();
        Sleep(25);
        HDC screen = GetDC(nullptr);
        shown = GetPixel(screen, 10, 10);
        ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(shown, RGB(0, 255, 0));
    ReleaseDC(window, dc);
    CloseGlSurface(surface);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    DestroyWindow(window);
}

TEST(Win32GlSurface, FallbackRequestGetsADoubleBufferedRgbaFormat)
{
    REQUIRE_DESKTOP();
    HWND window = MakeWindow("BvGl", PlainProc, 32, 32);
    GlSurface* surface = OpenGlSurface(reinterpret_cast<WindowHandle>(window));
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(SetFallbackGlFormat(surface, kFallbackPixelFormat));
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd{};
    ASSERT_TRUE(DescribePixelFormat(dc, GetPixelFormat(dc), sizeof(pfd), &pfd));
    EXPECT_TRUE(pfd.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_TRUE(pfd.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(pfd.cDepthBits, 16);
    ReleaseDC(window, dc);
    EXPECT_TRUE(CreateGlContext(surface));
    CloseGlSurface(surface);
    DestroyWindow(window);
}

} // namespace
