#pragma once
// The readable text the test application shows for a result code of Orvox.dll.
#include <array>
#include <cstdio>
#include <string>

namespace orvox::test {

// Empty for 0; codes 38 to 43 (XML import) carry the line the reader stopped at.
inline std::string resultText(int code, int line)
{
    static constexpr std::array<const char*, 44> kTexts = {
        "",
        "General Error.",
        "Exception Thrown.",
        "Resources/Memory too low to start application.",
        "Invalid Parameter.",
        "Init was not called.",
        "Init was called twice.",
        "Init main must be called first.",
        "Init was not called.", // showing a window before creating it: the host has no text of its own
        "Create was called twice.",
        "Create failed.",
        "Dialog Inialization failed.",
        "Memory Error.",
        "Ini File Not Found or damaged.",
        "Initialization of document failed.",
        "Duplicate or NULL paper names exist.",
        "Error in file save: cannot be open for write (disk full, etc.)",
        "Cannot Open File.",
        "Get Window called before Create.",
        "Invalid printer",
        "Invalid tab or data",
        "Unable to print while editing exceptions",
        "Unable to exit while printing",
        "User canceled action",
        "File is not a ORVO settings file.",
        "File is not supported by this version of ORVO",
        "Dll failed to load.",
        "One or more dll functions failed to load.",
        "Print without file selecting was called",
        "Unable to open printer",
        "ZJT file create failed during printing",
        "Error during sending data to printer\t",
        "Unable to open/read from TIFF file",
        " Unable to convert Tiff to G4 stripped ",
        "Only bilevel TIFF images are allowed",
        "PDF supports only 150,200,300,406,600 resolutions",
        "PDF doesn't support tiled TIFF files",
        "Not enouph disk space for temporary files",
        "Error in reading data from file or char*.",
        "Syntax error (missing or unexpected character).",
        "Unknown name of tag.",
        "Illegal tag data value.",
        "Illegal tag order.",
        "Unknown XML error.",
    };
    if (code < 0 || code >= static_cast<int>(kTexts.size())) return "Undefined Error Code!";
    std::string text = kTexts[static_cast<std::size_t>(code)];
    if (code >= 38) {
        char where[32];
        std::snprintf(where, sizeof where, "\nLine %d.", line);
        text += where;
    }
    return text;
}

} // namespace orvox::test
