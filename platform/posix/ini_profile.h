#pragma once
// Private-profile files in standard C++, with the semantics of Windows'
// GetPrivateProfileStringA / GetPrivateProfileIntA / WritePrivateProfileStringA:
// - section and key names compare without regard to case (ASCII), and the
//   requested names are trimmed of surrounding blanks;
// - the first section of a name is the only one searched, and the first key of
//   a name in it wins;
// - values lose surrounding blanks and one pair of matching surrounding quotes
//   ('...' or "..."), then are cut to maxChars characters;
// - a missing file, section or key gives the default (itself stripped of
//   trailing blanks); a key present with an empty value gives "";
// - lines whose first non-blank character is ';' are comments, and lines
//   without '=' are not keys;
// - LF and CRLF files are read alike; writes keep every other line in its
//   order and write the whole file with CRLF line ends.
// Only the standard library is used, so this also builds with MinGW.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"

namespace orvox::platform {

class IniProfile : public Profile {
public:
    enum class Freshness {
        // Every read looks at the file as it is now, as the Windows functions do.
        kReadEveryCall,
        // Reads reuse the last parse of a file until this object writes to a
        // file; for a caller that knows nobody else changes the file meanwhile
        // (the fuzz targets, which read one input many thousand times).
        kTrustUntilWritten,
    };
    explicit IniProfile(Freshness freshness = Freshness::kReadEveryCall) : freshness_(freshness) {}

    // With a file system, every write replaces the file in one step through it
    // (a new version beside it, flushed, then moved into place), so a full disk
    // or a process killed mid-write never leaves half a file. Without one the
    // file is rewritten in place.
    void setFileSystem(FileSystem* files) { files_ = files; }

    std::string getString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          std::size_t maxChars = 259) const override;
    // As GetPrivateProfileIntA: the default when the key is missing or its value
    // is empty; otherwise an optional sign and the leading decimal digits of the
    // value (0 when there are none), wrapping like the 32-bit original.
    int getInt(const std::string& file, const std::string& section, const std::string& key,
               int defaultValue) const override;
    // Creates the file, the section or the key as needed; false when the file
    // cannot be read or written.
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    // Removes the section header and every line up to the next section; true
    // when the section or the file does not exist.
    bool deleteSection(const std::string& file, const std::string& section) override;

private:
    struct Line {
        enum Kind { kOther, kSection, kKey } kind = kOther;
        std::string text;   // the line as in the file, without its line end
        std::string name;   // section or key name, trimmed
        std::string value;  // key value, trimmed
    };
    struct Section {
        std::size_t header = 0;  // line index of "[name]"
        std::size_t end = 0;     // one past its last line
        std::unordered_map<std::string, std::size_t> keys;  // lower-case name -> first key line
    };
    struct Parsed {
        std::vector<Line> lines;
        std::vector<Section> sections;
        std::unordered_map<std::string, std::size_t> sectionIndex;  // lower-case -> first section
    };

    static void parse(const std::string& bytes, Parsed& out);
    // Reads and parses `file` (reusing the last parse when the bytes are
    // unchanged); nullptr when the file cannot be read.
    const Parsed* load(const std::string& file) const;
    bool store(const std::string& file, const std::vector<Line>& lines) const;

    Freshness freshness_;
    FileSystem* files_ = nullptr;
    // The last file read, so that the many keys of one catalog do not each
    // parse the file again.
    mutable std::string cachePath_;
    mutable std::string cacheBytes_;
    mutable Parsed cache_;
    mutable bool cacheValid_ = false;
};

} // namespace orvox::platform
