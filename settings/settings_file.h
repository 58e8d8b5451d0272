#pragma once
// Settings files: one job settings document stored so that a job can be set up
// once and reused. Written in version 5, read in versions 1 to 5. The paper
// catalog is not stored; papers are matched again by name when a file is read.
#include <functional>
#include <string>

#include "settings/job_document.h"

namespace orvox {

// Result codes of the settings-file operations, as the host sees them.
enum SettingsFileResult : int {
    kSettingsOk = 0,
    kSettingsResetFailed = 1,
    kSettingsCatalogMissing = 13,
    kSettingsInitFailed = 14,
    kSettingsBadPaperNames = 15,
    kSettingsCannotWrite = 16,
    kSettingsCannotOpen = 17,
    kSettingsNotASettingsFile = 24,
    kSettingsUnsupportedVersion = 25,
};

inline constexpr std::int16_t kSettingsFileMarker = 26;
inline constexpr std::int16_t kSettingsFileVersion = 5;
// The stored printer model is shifted by this amount.
inline constexpr std::int16_t kStoredModelShift = 6;

// Record length stored by each file version.
std::size_t recordLengthOfVersion(int version);

// Replaces the document with the file's settings. The document is reset first,
// so a file that fails a check leaves a reset document named after the file.
int readSettingsFile(JobDocument& doc, const std::string& path);
// Writes the document in the current version.
int writeSettingsFile(JobDocument& doc, const std::string& path);
// Resets the document to a new, untitled one.
int newSettings(JobDocument& doc);

// The path a settings file is saved under: `extension` (without its dot) is
// appended unless the name already ends with it, in any letter case.
std::string withSettingsExtension(const std::string& path, const std::string& extension);

// Offers to save a modified document: Yes runs `save` and returns its result,
// No returns true, Cancel false. An unmodified document needs no question.
bool askSaveChanges(JobDocument& doc, const std::function<bool()>& save);
// Saves to the document's own file; `saveAs` runs the Save As flow when the
// document has no file yet. True when saved or when nothing needed saving.
bool saveDocument(JobDocument& doc, const std::function<bool()>& saveAs);

} // namespace orvox
