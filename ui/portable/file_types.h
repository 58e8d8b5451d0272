#pragma once
// Which files the folder browser offers and which print files are images.
#include <string>
#include <string_view>

namespace orvox::ui {

// The file-type filter of the file list: `extensions` is a blank-separated
// list without dots; an empty list lets every name pass. The name's extension
// is the text after its last dot and compares without regard to case.
bool passesExtensionFilter(std::string_view name, std::string_view extensions);

// A TIFF print file, judged by its name: such files are converted to PDF.
bool isTiffFileName(std::string_view name);

std::string toLowerAscii(std::string_view text);

} // namespace orvox::ui
