#pragma once
// Saves a picture of a window, frame and children included, as a BMP file.
#include <windows.h>

namespace orvox::test {

bool saveWindowBitmap(HWND window, const char* path);

} // namespace orvox::test
