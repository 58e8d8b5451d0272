#pragma once
// Changes to an INI file made through the profile seam without ever leaving a
// half-written file behind: the writes go to a copy beside the file, and only
// when every write succeeded does the copy take the file's place in one step.
// A failure at any point leaves the file exactly as it was and removes the copy.
#include <string>

#include "platform/files.h"
#include "platform/profile.h"

namespace orvox {

class IniRewrite {
public:
    // `files` may be null: the writes then go straight into the file (no copy).
    IniRewrite(platform::FileSystem* files, std::string file);
    ~IniRewrite();
    IniRewrite(const IniRewrite&) = delete;
    IniRewrite& operator=(const IniRewrite&) = delete;

    // Makes the copy; false when the file cannot be read or the copy cannot be
    // written (nothing is changed then).
    bool begin();
    // The file the writes of this rewrite go to.
    const std::string& path() const { return working_; }
    // Puts the copy in the file's place; false when the file is read-only or
    // the replacement fails, leaving the file unchanged.
    bool commit();

private:
    platform::FileSystem* files_;
    std::string file_;
    std::string working_;
    bool pending_ = false;
};

} // namespace orvox
