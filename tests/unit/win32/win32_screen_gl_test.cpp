// The GDI capture and the WGL surface under Wine, on the private X display
// with Mesa's software renderer behind Wine's OpenGL.
#include <windows.h>

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "core/pixel_format.h"
#include "platform/gl_surface.h"
#include "platform/screen.h"
#include "unit/win32/win32_test_support.h"

namespace {

// A window over the whole screen painted in four quadrants: red top left,
// green top right, blue bottom left, white bottom right.
LRESULT CALLBACK QuadrantProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        const int midX = client.right / 2, midY = client.bottom / 2;
        const struct {
            RECT rect;
            COLORREF colour;
        } quadrants[] = {{{0, 0, midX, midY}, RGB(255, 0, 0)},
                         {{midX, 0, client.right, midY}, RGB(0, 255, 0)},
                         {{0, midY, midX, client.bottom}, RGB(0, 0, 255)},
                         {{midX, midY, client.right, client.bottom}, RGB(255, 255, 255)}};
        for (const auto& q : quadrants) {
            HBRUSH brush = CreateSolidBrush(q.colour);
            FillRect(dc, &q.rect, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ShowQuadrants()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = QuadrantProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "BvQuadrants";
        registered = RegisterClassA(&windowClass) != 0;
    }
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, "BvQuadrants", "quadrants", WS_POPUP | WS_VISIBLE, 0, 0,
                        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                        nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(window);
    GdiFlush();
    for (int i = 0; i < 20; ++i) { // let the window reach the screen
        PumpMessages();
        Sleep(25);
    }
    return window;
}

// The capture done pixel by pixel with GetPixel: the reference for the bulk read.
std::vector<uint8_t> CaptureByGetPixel(int width, int height)
{
    HWND desktop = GetDesktopWindow();
    HDC desktopDc = GetWindowDC(desktop);
    RECT rect;
    GetWindowRect(desktop, &rect);
    HDC memoryDc = CreateCompatibleDC(desktopDc);
    HBITMAP bitmap = CreateCompatibleBitmap(desktopDc, width, height);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    StretchBlt(memoryDc, 0, 0, width, height, desktopDc, 0, 0, rect.right, rect.bottom, SRCCOPY);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            const COLORREF value = GetPixel(memoryDc, x, y);
            const size_t at = (static_cast<size_t>(y) * width + x) * 3;
            pixels[at] = (value >> 16) & 0xFF;
            pixels[at + 1] = (value >> 8) & 0xFF;
            pixels[at + 2] = value & 0xFF;
        }
    }
    SelectObject(memoryDc, previous);
    ReleaseDC(desktop, desktopDc);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    return pixels;
}

TEST(Win32Screen, SizeIsTheDesktopWindowsRectangle)
{
    int width = -1, height = -1;
    GetPrimaryScreenSize(&width, &height);
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(height, GetSystemMetrics(SM_CYSCREEN));
}

TEST(Win32Screen, CaptureIsScaledTopRowFirstBlueGreenRedAndMatchesPixelReads)
{
    REQUIRE_DESKTOP();
    HWND window = ShowQuadrants();
    ASSERT_NE(window, nullptr);
    // 30 wide: rows of 90 bytes, which the platform pads to 92 and the capture must not.
    for (const auto& [width, height] : {std::pair{512, 256}, std::pair{30, 20}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        std::vector<uint8_t> captured(static_cast<size_t>(width) * height * 3, 0xAB);
        ASSERT_TRUE(CapturePrimaryScreen(width, height, captured.data()));
        EXPECT_EQ(captured, CaptureByGetPixel(width, height));

        auto pixel = [&](int x, int y) {
            const size_t at = (static_cast<size_t>(y) * width + x) * 3;
            return std::vector<int>{captured[at], captured[at + 1], captured[at + 2]};
        };
        EXPECT_EQ(pixel(0, 0), (std::vector<int>{0, 0, 255})) << "top left is red";
        EXPECT_EQ(pixel(width - 1, 0), (std::vector<int>{0, 255, 0})) << "top right is green";
        EXPECT_EQ(pixel(0, height - 1), (std::vector<int>{255, 0, 0})) << "bottom left is blue";
        EXPECT_EQ(pixel(width - 1, height - 1), (std::vector<int>{255, 255, 255}));
    }
    DestroyWindow(window);

    uint8_t unused[3];
    EXPECT_FALSE(CapturePrimaryScreen(0, 10, unused));
    EXPECT_FALSE(CapturePrimaryScreen(10, -1, unused));
}

// --- the GL surface ---

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeGlWindow(int width, int height)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = PlainProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "BvGlTest";
        registered = RegisterClassA(&windowClass) != 0;
    }
    return CreateWindowExA(0, "BvGlTest", "gl", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST(Win32GlSurface, FormatsMatchTheirDescriptorsAndTheChosenOneDrawsAndSwaps)
{
    REQUIRE_DESKTOP();
    HWND window = MakeGlWindow(64, 48);
    ASSERT_NE(window, nullptr);
    GlSurface* surface = OpenGlSurface(reinterpret_cast<WindowHandle>(window));
    ASSERT_NE(surface, nullptr);

    HDC dc = GetDC(window);
    const int count = DescribePixelFormat(dc, 1, 0, nullptr);
    ASSERT_GT(count, 0);
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
        const PixelFormatTier tier = !(pfd.dwFlags & PFD_GENERIC_FORMAT) ? PixelFormatTier::Hardware
                                     : (pfd.dwFlags & PFD_GENERIC_ACCELERATED)
                                         ? PixelFormatTier::GenericAccelerated
                                         : PixelFormatTier::GenericSoftware;
        EXPECT_EQ(record.tier, tier);
        formats.push_back(record);
    }
    EXPECT_EQ(static_cast<int>(formats.size()), count) << "every format and no more";

    const int best = SetupPixelFormat(formats.data(), count);
    ASSERT_NE(best, kUseFallbackFormat) << "Wine offers double-buffered RGBA window formats";
    ASSERT_TRUE(SetGlFormat(surface, best));
    EXPECT_EQ(GetPixelFormat(dc), best);
    ASSERT_TRUE(CreateGlContext(surface));
    EXPECT_NE(wglGetCurrentContext(), nullptr);

    int width = 0, height = 0;
    GetGlClientSize(surface, &width, &height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);

    glViewport(0, 0, width, height);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    EXPECT_EQ(rgba[1], 255) << "drawing goes to the back buffer";
    // The swap presents it: the screen under the window turns green.
    SwapGlBuffers(surface);
    COLORREF shown = 0;
    for (int i = 0; i < 40 && shown != RGB(0, 255, 0); ++i) {
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
    CloseGlSurface(nullptr);
}

TEST(Win32GlSurface, FallbackRequestGetsADoubleBufferedRgbaFormat)
{
    REQUIRE_DESKTOP();
    HWND window = MakeGlWindow(32, 32);
    ASSERT_NE(window, nullptr);
    GlSurface* surface = OpenGlSurface(reinterpret_cast<WindowHandle>(window));
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(SetFallbackGlFormat(surface, kFallbackPixelFormat));
    HDC dc = GetDC(window);
    const int chosen = GetPixelFormat(dc);
    ASSERT_GT(chosen, 0);
    PIXELFORMATDESCRIPTOR pfd{};
    DescribePixelFormat(dc, chosen, sizeof(pfd), &pfd);
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
