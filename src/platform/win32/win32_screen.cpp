// The primary screen on Win32 through GDI: the desktop window's rectangle,
// and a photograph made by one scaled block copy of the desktop into a memory
// bitmap, read back in one piece.
#include "platform/screen.h"

#include <cstring>
#include <new>

#include <windows.h>

void GetPrimaryScreenSize(int* width, int* height)
{
    RECT rect{};
    if (!GetWindowRect(GetDesktopWindow(), &rect)) {
        *width = 0;
        *height = 0;
        return;
    }
    *width = rect.right;
    *height = rect.bottom;
}

namespace {

// Reads the bitmap as a top-down 24-bit DIB (blue, green, red bytes, rows
// padded to four bytes) and packs the rows tightly into out. The bytes are the
// ones a GetPixel per pixel would give, read in one call.
bool ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height, uint8_t* out)
{
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const size_t stride = (rowBytes + 3) & ~static_cast<size_t>(3);
    uint8_t* rows = new (std::nothrow) uint8_t[stride * static_cast<size_t>(height)];
    if (!rows)
        return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // negative: row 0 is the top row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    int lines = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), rows, &info, DIB_RGB_COLORS);
    bool ok = lines == height;
    if (ok) {
        for (int y = 0; y < height; ++y)
            std::memcpy(out + static_cast<size_t>(y) * rowBytes,
                        rows + static_cast<size_t>(y) * stride, rowBytes);
    }
    delete[] rows;
    return ok;
}

} // namespace

bool CapturePrimaryScreen(int width, int height, uint8_t* out)
{
    if (width <= 0 || height <= 0 || !out)
        return false;

    HWND desktop = GetDesktopWindow();
    HDC desktopDc = GetWindowDC(desktop);
    if (!desktopDc)
        return false;
    RECT rect{};
    GetWindowRect(desktop, &rect);

    HDC memoryDc = CreateCompatibleDC(desktopDc);
    HBITMAP bitmap = CreateCompatibleBitmap(desktopDc, width, height);
    bool ok = false;
    if (memoryDc && bitmap) {
        HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        // No stretch mode is set: the default copies without smoothing.
        ok = StretchBlt(memoryDc, 0, 0, width, height, desktopDc, 0, 0, rect.right, rect.bottom,
                        SRCCOPY) != FALSE;
        // GetDIBits wants the bitmap out of every device context.
        SelectObject(memoryDc, previous);
        if (ok)
            ok = ReadBitmap(memoryDc, bitmap, width, height, out);
    }
    ReleaseDC(desktop, desktopDc);
    if (bitmap)
        DeleteObject(bitmap);
    if (memoryDc)
        DeleteDC(memoryDc);
    return ok;
}
