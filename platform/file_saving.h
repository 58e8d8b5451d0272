#pragma once
// Whole-file saves that never leave a broken file: the new version is written
// beside the file, flushed, and only then put in its place in one step. Every
// file the library writes for the operator (settings files, the paper catalog,
// the configuration file) is saved this way, through the file-system seam.
#include <string>
#include <string_view>

#include "platform/files.h"

namespace orvox::platform {

enum class SaveOutcome {
    kSaved,
    // The file is marked read-only; it is left as it was.
    kReadOnly,
    // The new version could not be written or put in place (a full disk, a
    // folder that cannot be written, a file another program holds open); the
    // file is left as it was.
    kFailed,
};

// The new version of `target` while it is being written. It lies in the same
// folder, so that putting it in place never crosses a volume; one that an
// interrupted save left behind is known by this name and removed by the next
// save of the same file.
inline std::string pendingVersionOf(const std::string& target) { return target + ".new"; }

// Puts the pending version of `target` in its place; on failure it is removed.
inline SaveOutcome putPendingInPlace(FileSystem& files, const std::string& target)
{
    const std::string pending = pendingVersionOf(target);
    if (!files.isReadOnly(target) && files.replaceFile(pending, target)) return SaveOutcome::kSaved;
    files.removeFile(pending);
    return files.isReadOnly(target) ? SaveOutcome::kReadOnly : SaveOutcome::kFailed;
}

// Starts the pending version of `target` with `bytes` (a stale one is removed first).
inline bool startPendingVersion(FileSystem& files, const std::string& target, std::string_view bytes)
{
    const std::string pending = pendingVersionOf(target);
    if (files.fileExists(pending)) files.removeFile(pending);
    return files.writeNewFile(pending, bytes);
}

// Replaces the whole of `target` (or makes it) with `bytes`.
inline SaveOutcome saveWholeFile(FileSystem& files, const std::string& target, std::string_view bytes)
{
    if (files.isReadOnly(target)) return SaveOutcome::kReadOnly;
    if (!startPendingVersion(files, target, bytes)) return SaveOutcome::kFailed;
    return putPendingInPlace(files, target);
}

} // namespace orvox::platform
