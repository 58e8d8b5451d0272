#pragma once
// INI files read and written with private-profile semantics: a missing file,
// section or key yields the default; a present but empty key yields an empty text.
#include <string>

namespace orvox::platform {

class Profile {
public:
    virtual ~Profile() = default;
    // At most maxChars characters of the value are returned.
    virtual std::string getString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& defaultValue,
                                  std::size_t maxChars = 259) const = 0;
    // Leading decimal digits of the value (with an optional sign), as
    // GetPrivateProfileIntA: the default when the key is missing or its value is
    // empty; 0 when the value does not start with a number.
    virtual int getInt(const std::string& file, const std::string& section,
                       const std::string& key, int defaultValue) const = 0;
    virtual bool writeString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    virtual bool deleteSection(const std::string& file, const std::string& section) = 0;
};

} // namespace orvox::platform
