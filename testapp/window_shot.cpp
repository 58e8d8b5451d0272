#include "window_shot.h"

#include <cstdio>
#include <memory>

namespace orvox::test {
namespace {

struct DcReleaser {
    HWND window;
    void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool saveWindowBitmap(HWND window, const char* path)
{
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    // The screen holds the window as drawn, children included; the window's own
    // DC would leave out the child windows of a parent that clips them.
    std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser> source(GetDC(nullptr), DcReleaser{nullptr});
    if (!source) return false;
    std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(CreateCompatibleDC(source.get()));
    if (!memory) return false;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter> bitmap(CreateDIBSection(
        memory.get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;

    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    const bool copied = BitBlt(memory.get(), 0, 0, width, height, source.get(), rect.left, rect.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory.get(), previous);
    if (!copied) return false;
    // The copy leaves the fourth byte of each pixel at 0, which viewers read as
    // fully transparent: make every pixel opaque.
    auto* pixel = static_cast<unsigned char*>(bits);
    for (LONG i = 0; i < width * height; ++i) pixel[i * 4 + 3] = 0xFF;

    const DWORD imageSize = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(path, "wb"));
    if (!out) return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out.get()) == 1 &&
                         std::fwrite(&header, sizeof header, 1, out.get()) == 1 &&
                         std::fwrite(bits, imageSize, 1, out.get()) == 1;
    return std::fclose(out.release()) == 0 && written;
}

} // namespace orvox::test
