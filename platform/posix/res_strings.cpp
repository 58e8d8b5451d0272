#include "platform/posix/res_strings.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace orvox::platform {

namespace {

constexpr std::uint16_t kRtString = 6;

class Reader {
public:
    explicit Reader(const std::string& b) : b_(b) {}
    bool u16(std::size_t at, std::uint16_t& v) const
    {
        if (at > b_.size() || b_.size() - at < 2) return false;
        v = static_cast<std::uint16_t>(static_cast<unsigned char>(b_[at]) |
                                       static_cast<unsigned char>(b_[at + 1]) << 8);
        return true;
    }
    bool u32(std::size_t at, std::uint32_t& v) const
    {
        std::uint16_t lo, hi;
        if (!u16(at, lo) || !u16(at + 2, hi)) return false;
        v = lo | static_cast<std::uint32_t>(hi) << 16;
        return true;
    }
    // A type or name field: 0xFFFF and an ordinal, or a zero-terminated UTF-16 name.
    bool nameOrId(std::size_t& at, bool& isOrdinal, std::uint16_t& ordinal) const
    {
        std::uint16_t w;
        if (!u16(at, w)) return false;
        if (w == 0xFFFF) {
            isOrdinal = true;
            if (!u16(at + 2, ordinal)) return false;
            at += 4;
            return true;
        }
        isOrdinal = false;
        while (true) {
            if (!u16(at, w)) return false;
            at += 2;
            if (w == 0) return true;
        }
    }

private:
    const std::string& b_;
};

// The resource module's texts are single-byte; characters above 255 have no place.
char toAnsi(std::uint16_t c) { return c < 256 ? static_cast<char>(c) : '?'; }

} // namespace

bool ResFileStrings::open(const std::string& resPath)
{
    std::ifstream in(resPath, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse(bytes);
}

bool ResFileStrings::parse(const std::string& bytes)
{
    strings_.clear();
    Reader r(bytes);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::uint32_t dataSize, headerSize;
        if (!r.u32(pos, dataSize) || !r.u32(pos + 4, headerSize)) return false;
        if (headerSize < 16 || headerSize > bytes.size() - pos) return false;
        std::size_t at = pos + 8;
        bool typeIsOrdinal, nameIsOrdinal;
        std::uint16_t type = 0, name = 0;
        if (!r.nameOrId(at, typeIsOrdinal, type) || !r.nameOrId(at, nameIsOrdinal, name)) return false;
        const std::size_t dataStart = pos + headerSize;
        if (dataSize > bytes.size() - dataStart) return false;
        if (typeIsOrdinal && type == kRtString && nameIsOrdinal && name > 0) {
            // A block holds 16 counted UTF-16 strings; block n carries ids (n-1)*16 .. n*16-1.
            std::size_t p = dataStart;
            const std::size_t end = dataStart + dataSize;
            for (unsigned i = 0; i < 16 && p < end; ++i) {
                std::uint16_t len;
                if (!r.u16(p, len)) return false;
                p += 2;
                if (len > (end - p) / 2) return false;
                if (len > 0) {
                    std::string text;
                    text.reserve(len);
                    for (std::uint16_t k = 0; k < len; ++k) {
                        std::uint16_t c = 0;
                        r.u16(p + 2u * k, c);
                        text.push_back(toAnsi(c));
                    }
                    strings_[(name - 1u) * 16u + i] = std::move(text);
                }
                p += 2u * len;
            }
        }
        pos = dataStart + ((dataSize + 3u) & ~std::size_t{3});
    }
    return true;
}

std::string ResFileStrings::load(unsigned id) const
{
    auto it = strings_.find(id);
    return it == strings_.end() ? std::string() : it->second;
}

} // namespace orvox::platform
