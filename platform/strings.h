#pragma once
// Resource strings of the resource module, addressed by number.
#include <string>

namespace orvox::platform {

class StringSource {
public:
    virtual ~StringSource() = default;
    // The general text load; a missing string yields an empty text.
    virtual std::string load(unsigned id) const = 0;
    // The command-template form: the text as it fits a 256-byte buffer,
    // so at most 255 characters.
    std::string loadTemplate(unsigned id) const
    {
        std::string s = load(id);
        if (s.size() > 255) s.resize(255);
        return s;
    }
};

} // namespace orvox::platform
