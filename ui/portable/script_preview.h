#pragma once
// What the Custom options page shows of the script file: the file's first
// bytes as text. The preview is refreshed on every keystroke in the path edit,
// so reading must stay cheap whatever the path names: at most
// kScriptPreviewBytes are read, and device names (CON, COM1, pipes) that could
// block a read are never opened.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/strings.h"

namespace orvox::ui {

inline constexpr std::size_t kScriptPreviewBytes = 1024;

// The preview text for `path`: a text of its own for an empty path and for a
// file of which nothing could be read; empty when the file cannot be opened,
// and the preview then keeps what it showed.
std::optional<std::string> scriptPreview(const std::string& path, const platform::StringSource& strings);

// Bytes of a script as a static control can show them: zero bytes and other
// control characters as dots, line ends as CR LF.
std::string previewText(std::string_view bytes);

// A path whose last part is a device of the system (CON, PRN, AUX, NUL,
// COM1..9, LPT1..9, with or without an extension) or one in the device
// namespace ("\\.\").
bool namesDevice(std::string_view path);

} // namespace orvox::ui
