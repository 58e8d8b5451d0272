#include "print/ipp_message.h"

#include <limits>

namespace orvox::ipp {

namespace {

constexpr std::size_t kMaxEncodeDepth = 16;
constexpr std::size_t kMaxLength = std::numeric_limits<std::uint16_t>::max();

bool isDelimiter(std::uint8_t tag) { return tag < 0x10; }
bool isOutOfBand(std::uint8_t tag) { return tag >= 0x10 && tag < 0x20; }

// ---- encoding -------------------------------------------------------------

class Writer {
public:
    void byte(std::uint8_t b) { out_.push_back(static_cast<char>(b)); }
    void u16(std::uint16_t v)
    {
        byte(static_cast<std::uint8_t>(v >> 8));
        byte(static_cast<std::uint8_t>(v));
    }
    void u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v >> 16));
        u16(static_cast<std::uint16_t>(v));
    }
    void bytes(std::string_view s) { out_.append(s); }
    bool lengthAndBytes(std::string_view s)
    {
        if (s.size() > kMaxLength) return false;
        u16(static_cast<std::uint16_t>(s.size()));
        bytes(s);
        return true;
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

bool encodeValue(Writer& w, std::string_view name, const Value& v, std::size_t depth);

bool encodeAttribute(Writer& w, const Attribute& a, std::size_t depth)
{
    if (a.values.empty() || a.name.empty()) return false;
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        // Additional values of an attribute carry no name.
        if (!encodeValue(w, i == 0 ? std::string_view(a.name) : std::string_view(), a.values[i], depth))
            return false;
    }
    return true;
}

bool encodeValue(Writer& w, std::string_view name, const Value& v, std::size_t depth)
{
    const auto tag = static_cast<std::uint8_t>(v.tag);
    if (isDelimiter(tag) || v.tag == Tag::EndCollection || v.tag == Tag::MemberAttrName) return false;
    w.byte(tag);
    if (!w.lengthAndBytes(name)) return false;
    switch (v.tag) {
    case Tag::Integer:
    case Tag::Enum:
        w.u16(4);
        w.u32(static_cast<std::uint32_t>(v.integer));
        return true;
    case Tag::Boolean:
        w.u16(1);
        w.byte(v.integer ? 1 : 0);
        return true;
    case Tag::RangeOfInteger:
        w.u16(8);
        w.u32(static_cast<std::uint32_t>(v.integer));
        w.u32(static_cast<std::uint32_t>(v.upper));
        return true;
    case Tag::Resolution:
        w.u16(9);
        w.u32(static_cast<std::uint32_t>(v.integer));
        w.u32(static_cast<std::uint32_t>(v.upper));
        w.byte(static_cast<std::uint8_t>(v.units));
        return true;
    case Tag::TextWithLanguage:
    case Tag::NameWithLanguage: {
        // No language of its own: an empty language text, then the value.
        if (v.text.size() + 4 > kMaxLength) return false;
        w.u16(static_cast<std::uint16_t>(v.text.size() + 4));
        w.u16(0);
        return w.lengthAndBytes(v.text);
    }
    case Tag::BegCollection: {
        if (depth >= kMaxEncodeDepth) return false;
        w.u16(0);
        for (const Attribute& m : v.members) {
            if (m.name.empty() || m.values.empty()) return false;
            w.byte(static_cast<std::uint8_t>(Tag::MemberAttrName));
            w.u16(0);
            if (!w.lengthAndBytes(m.name)) return false;
            for (const Value& mv : m.values)
                if (!encodeValue(w, {}, mv, depth + 1)) return false;
        }
        w.byte(static_cast<std::uint8_t>(Tag::EndCollection));
        w.u16(0);
        w.u16(0);
        return true;
    }
    default:
        if (isOutOfBand(tag)) {
            w.u16(0);
            return true;
        }
        return w.lengthAndBytes(v.text);
    }
}

// ---- decoding -------------------------------------------------------------

class Reader {
public:
    Reader(std::string_view bytes, const DecodeLimits& limits) : in_(bytes), limits_(limits) {}

    DecodeResult run()
    {
        DecodeResult result;
        Message m;
        if (in_.size() < 8) return fail(result, "the message is shorter than its 8-byte header");
        m.versionMajor = u8(0);
        m.versionMinor = u8(1);
        m.code = u16(2);
        m.requestId = u32(4);
        pos_ = 8;
        Attribute* last = nullptr;  // the attribute that a value without a name adds to
        for (;;) {
            if (pos_ >= in_.size()) return fail(result, "the attributes end without an end-of-attributes tag");
            const std::uint8_t tag = u8(pos_);
            if (isDelimiter(tag)) {
                ++pos_;
                if (tag == static_cast<std::uint8_t>(Tag::EndOfAttributes)) break;
                if (tag == 0) return fail(result, "reserved delimiter tag 0");
                m.groups.push_back(Group{static_cast<Tag>(tag), {}});
                last = nullptr;
                continue;
            }
            if (m.groups.empty()) return fail(result, "an attribute stands before any attribute group");
            std::string name;
            Value value;
            if (!readValue(name, value, 0)) return fail(result, error_);
            std::vector<Attribute>& attrs = m.groups.back().attributes;
            if (!name.empty()) {
                attrs.push_back(Attribute{std::move(name), {}});
                last = &attrs.back();
            } else if (!last) {
                return fail(result, "an additional value has no attribute before it");
            }
            last->values.push_back(std::move(value));
        }
        result.used = pos_;
        result.message = std::move(m);
        return result;
    }

private:
    std::uint8_t u8(std::size_t at) const { return static_cast<std::uint8_t>(in_[at]); }
    std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>((u8(at) << 8) | u8(at + 1)); }
    std::uint32_t u32(std::size_t at) const
    {
        return (std::uint32_t{u16(at)} << 16) | u16(at + 2);
    }
    std::int32_t s32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }

    DecodeResult fail(DecodeResult& r, const std::string& what)
    {
        r.error = what + " (at byte " + std::to_string(errorAt_ ? errorAt_ : pos_) + ")";
        r.message.reset();
        return r;
    }

    bool error(const std::string& what, std::size_t at)
    {
        error_ = what;
        errorAt_ = at;
        return false;
    }

    bool have(std::size_t n) const { return in_.size() - pos_ >= n; }

    // The value-tag, name-length, name, value-length sequence at the current
    // position: the tag, the name, and where the value's bytes lie.
    struct Item {
        std::size_t start = 0;
        std::uint8_t tag = 0;
        std::size_t at = 0;
        std::size_t length = 0;
    };
    bool readItem(Item& item, std::string& name)
    {
        item.start = pos_;
        if (++values_ > limits_.maxValues) return error("more values than a response may hold", item.start);
        if (!have(3)) return error("a value is cut off in its name length", item.start);
        item.tag = u8(pos_);
        if (item.tag == 0x7F) return error("extended value tags are not supported", item.start);
        const std::size_t nameLength = u16(pos_ + 1);
        pos_ += 3;
        if (!have(nameLength + 2)) return error("a name runs past the end of the message", item.start);
        name.assign(in_.substr(pos_, nameLength));
        pos_ += nameLength;
        item.length = u16(pos_);
        pos_ += 2;
        if (!have(item.length)) return error("a value runs past the end of the message", item.start);
        item.at = pos_;
        pos_ += item.length;
        return true;
    }

    // One value at the current position; a collection's members are read with it.
    bool readValue(std::string& name, Value& value, std::size_t depth)
    {
        Item item;
        if (!readItem(item, name)) return false;
        const std::size_t start = item.start, at = item.at, valueLength = item.length;
        const std::uint8_t tag = item.tag;
        value = Value{};
        value.tag = static_cast<Tag>(tag);
        switch (value.tag) {
        case Tag::Integer:
        case Tag::Enum:
            if (valueLength != 4) return error("an integer value is not 4 bytes long", start);
            value.integer = s32(at);
            return true;
        case Tag::Boolean:
            if (valueLength != 1 || u8(at) > 1) return error("a boolean value is not one byte of 0 or 1", start);
            value.integer = u8(at);
            return true;
        case Tag::RangeOfInteger:
            if (valueLength != 8) return error("a range value is not 8 bytes long", start);
            value.integer = s32(at);
            value.upper = s32(at + 4);
            return true;
        case Tag::Resolution:
            if (valueLength != 9) return error("a resolution value is not 9 bytes long", start);
            value.integer = s32(at);
            value.upper = s32(at + 4);
            value.units = static_cast<std::int8_t>(u8(at + 8));
            return true;
        case Tag::TextWithLanguage:
        case Tag::NameWithLanguage: {
            if (valueLength < 4) return error("a value with language is shorter than its lengths", start);
            const std::size_t langLength = u16(at);
            if (langLength + 4 > valueLength) return error("a language runs past its value", start);
            const std::size_t textLength = u16(at + 2 + langLength);
            if (langLength + 4 + textLength != valueLength)
                return error("a value with language does not fill its length", start);
            value.text.assign(in_.substr(at + 4 + langLength, textLength));
            return true;
        }
        case Tag::EndCollection:
        case Tag::MemberAttrName:
            return error("a collection tag stands outside a collection", start);
        case Tag::BegCollection:
            return readMembers(value, depth + 1);
        default:
            if (!isOutOfBand(tag)) value.text.assign(in_.substr(at, valueLength));
            return true;
        }
    }

    // The members of a collection up to its end tag: each member is a
    // member-name value followed by that member's values.
    bool readMembers(Value& collection, std::size_t depth)
    {
        if (depth > limits_.maxDepth) return error("collections nest too deeply", pos_);
        for (;;) {
            const std::size_t start = pos_;
            if (!have(1)) return error("a collection has no end", start);
            const std::uint8_t tag = u8(pos_);
            if (isDelimiter(tag)) return error("a collection has no end", start);
            std::string name;
            Value v;
            if (tag == static_cast<std::uint8_t>(Tag::EndCollection) ||
                tag == static_cast<std::uint8_t>(Tag::MemberAttrName)) {
                Item item;
                if (!readItem(item, name)) return false;
                v.text.assign(in_.substr(item.at, item.length));
                if (!name.empty()) return error("a collection tag carries a name", start);
                if (tag == static_cast<std::uint8_t>(Tag::EndCollection)) return true;
                if (v.text.empty()) return error("a collection member has no name", start);
                collection.members.push_back(Attribute{std::move(v.text), {}});
                continue;
            }
            if (collection.members.empty()) return error("a collection value has no member name", start);
            if (!readValue(name, v, depth)) return false;
            if (!name.empty()) return error("a value inside a collection carries a name", start);
            collection.members.back().values.push_back(std::move(v));
        }
    }

    std::string_view in_;
    const DecodeLimits& limits_;
    std::size_t pos_ = 0;
    std::size_t values_ = 0;
    std::string error_;
    std::size_t errorAt_ = 0;
};

} // namespace

Value Value::integerValue(std::int32_t v) { return {Tag::Integer, v, 0, 0, {}, {}}; }
Value Value::enumValue(std::int32_t v) { return {Tag::Enum, v, 0, 0, {}, {}}; }
Value Value::boolean(bool v) { return {Tag::Boolean, v ? 1 : 0, 0, 0, {}, {}}; }
Value Value::range(std::int32_t lower, std::int32_t upper) { return {Tag::RangeOfInteger, lower, upper, 0, {}, {}}; }
Value Value::string(Tag tag, std::string_view s) { return {tag, 0, 0, 0, std::string(s), {}}; }

Value Value::collection(std::vector<Attribute> members)
{
    Value v;
    v.tag = Tag::BegCollection;
    v.members = std::move(members);
    return v;
}

const Attribute* Group::find(std::string_view name) const
{
    for (const Attribute& a : attributes)
        if (a.name == name) return &a;
    return nullptr;
}

const Attribute* Message::find(Tag groupTag, std::string_view name) const
{
    for (const Group& g : groups)
        if (g.tag == groupTag)
            if (const Attribute* a = g.find(name)) return a;
    return nullptr;
}

Group& Message::group(Tag tag)
{
    for (auto it = groups.rbegin(); it != groups.rend(); ++it)
        if (it->tag == tag) return *it;
    groups.push_back(Group{tag, {}});
    return groups.back();
}

std::optional<std::string> encode(const Message& message)
{
    Writer w;
    w.byte(message.versionMajor);
    w.byte(message.versionMinor);
    w.u16(message.code);
    w.u32(message.requestId);
    for (const Group& g : message.groups) {
        const auto tag = static_cast<std::uint8_t>(g.tag);
        if (!isDelimiter(tag) || g.tag == Tag::EndOfAttributes || tag == 0) return std::nullopt;
        w.byte(tag);
        for (const Attribute& a : g.attributes)
            if (!encodeAttribute(w, a, 0)) return std::nullopt;
    }
    w.byte(static_cast<std::uint8_t>(Tag::EndOfAttributes));
    return w.take();
}

DecodeResult decode(std::string_view bytes, const DecodeLimits& limits)
{
    return Reader(bytes, limits).run();
}

std::string describe(const Value& v)
{
    switch (v.tag) {
    case Tag::Integer:
    case Tag::Enum:
        return std::to_string(v.integer);
    case Tag::Boolean:
        return v.integer ? "true" : "false";
    case Tag::RangeOfInteger:
        return std::to_string(v.integer) + "-" + std::to_string(v.upper);
    case Tag::Resolution:
        return std::to_string(v.integer) + "x" + std::to_string(v.upper) + (v.units == 3 ? "dpi" : "dpcm");
    case Tag::BegCollection: {
        std::string s = "{";
        for (const Attribute& m : v.members) {
            if (s.size() > 1) s += ' ';
            s += m.name + "=";
            for (std::size_t i = 0; i < m.values.size(); ++i) s += (i ? "," : "") + describe(m.values[i]);
        }
        return s + "}";
    }
    case Tag::Unknown:
        return "unknown";
    case Tag::NoValue:
        return "no-value";
    case Tag::Unsupported:
        return "unsupported";
    default:
        return v.text;
    }
}

} // namespace orvox::ipp
