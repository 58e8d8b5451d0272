#pragma once
// The resource module's string table read from a compiled .res file, so that
// native tests and tools see exactly the texts that ship.
#include <map>
#include <string>

#include "platform/strings.h"

namespace orvox::platform {

class ResFileStrings : public StringSource {
public:
    // Reads every string table of the file; false when the file is missing or malformed.
    bool open(const std::string& resPath);
    // Parses an in-memory .res image; false when it is malformed.
    bool parse(const std::string& bytes);

    std::string load(unsigned id) const override;
    bool contains(unsigned id) const { return strings_.count(id) != 0; }
    const std::map<unsigned, std::string>& all() const { return strings_; }

private:
    std::map<unsigned, std::string> strings_;
};

// A string source filled by the test itself.
class MapStrings : public StringSource {
public:
    MapStrings() = default;
    explicit MapStrings(std::map<unsigned, std::string> m) : strings_(std::move(m)) {}
    void set(unsigned id, std::string text) { strings_[id] = std::move(text); }
    std::string load(unsigned id) const override
    {
        auto it = strings_.find(id);
        return it == strings_.end() ? std::string() : it->second;
    }

private:
    std::map<unsigned, std::string> strings_;
};

} // namespace orvox::platform
