#pragma once
// Names in a hot folder: which files are print files, which are job tickets,
// and the suffixed names that keep a finished job from overwriting another.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvox::submit {

// A folder's own ticket, used for every print file that has none of its own.
inline constexpr std::string_view kFolderTicketXml = "_ticket.xml";
inline constexpr std::string_view kFolderTicketSettings = "_ticket.ovx";

// The sub-folders a hot folder keeps its jobs in.
inline constexpr std::string_view kProcessingFolder = "Processing";
inline constexpr std::string_view kDoneFolder = "Done";
inline constexpr std::string_view kFailedFolder = "Failed";
// In Processing while a print run goes on: its files and status texts.
inline constexpr std::string_view kRunJournal = ".orvox-run.journal";

// A ticket: settings file (.ovx) or XML settings (.xml), in any case.
bool isTicketName(std::string_view name);

// Names a copy tool or editor uses while a file is still being written
// (".x", "~x", "x.tmp", "x.part"): never taken, the final rename shows the file.
bool isTemporaryName(std::string_view name);

bool isFolderTicketName(std::string_view name);
// A TIFF file by its extension, as the library tells them (.tif, .tiff).
bool isTiffName(std::string_view name);

// The ticket names a print file may bring with it: its base name with .xml,
// then with .ovx ("a.pdf" -> "a.xml", "a.ovx").
std::vector<std::string> ownTicketNames(std::string_view printFile);

// "a.pdf" with n = 2 gives "a (2).pdf"; n <= 1 leaves the name as it is.
std::string suffixedName(std::string_view name, int n);

// The log kept beside a finished print file: "a (2).pdf" -> "a (2).pdf.log".
std::string logNameOf(std::string_view printFile);

// The smallest n >= 1 for which the print file, its log and its companions
// (its own ticket), all suffixed with n, are free; 0 when none is free within
// a bound, so a broken check cannot loop forever.
int freeSuffix(std::string_view printFile, const std::vector<std::string>& companions,
               const std::function<bool(const std::string&)>& taken);

bool equalNoCase(std::string_view a, std::string_view b);

} // namespace orvox::submit
