#pragma once
// IPP messages in their binary encoding: a request is built as a list of
// attribute groups and encoded in front of the document data; a printer's
// response is decoded from bytes that come from outside, so the reader checks
// every length against what is left, bounds the nesting of collections and the
// number of attributes and values, and reports the first fault with its offset.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvox::ipp {

// Delimiter tags (attribute groups) and value tags of the encoding.
enum class Tag : std::uint8_t {
    OperationGroup = 0x01,
    JobGroup = 0x02,
    EndOfAttributes = 0x03,
    PrinterGroup = 0x04,
    UnsupportedGroup = 0x05,
    DocumentGroup = 0x09,
    Unsupported = 0x10,
    Unknown = 0x12,
    NoValue = 0x13,
    Integer = 0x21,
    Boolean = 0x22,
    Enum = 0x23,
    OctetString = 0x30,
    DateTime = 0x31,
    Resolution = 0x32,
    RangeOfInteger = 0x33,
    BegCollection = 0x34,
    TextWithLanguage = 0x35,
    NameWithLanguage = 0x36,
    EndCollection = 0x37,
    Text = 0x41,
    Name = 0x42,
    Keyword = 0x44,
    Uri = 0x45,
    UriScheme = 0x46,
    Charset = 0x47,
    NaturalLanguage = 0x48,
    MimeMediaType = 0x49,
    MemberAttrName = 0x4A,
};

// Operations and status codes used here.
enum class Operation : std::uint16_t {
    PrintJob = 0x0002,
    ValidateJob = 0x0004,
    GetJobAttributes = 0x0009,
    GetPrinterAttributes = 0x000B,
};
inline constexpr std::uint16_t kSuccessfulOk = 0x0000;
inline constexpr std::uint16_t kSuccessfulOkIgnoredOrSubstituted = 0x0001;

struct Attribute;

// One value. Which members mean something depends on the tag: integer, enum
// and boolean use `integer`; rangeOfInteger uses `integer` and `upper`;
// resolution uses `integer` (cross feed), `upper` (feed) and `units`; a
// collection uses `members`; the out-of-band tags (unknown, no-value,
// unsupported) use nothing; every other tag holds its bytes in `text` (for the
// ...WithLanguage tags the value without its language).
struct Value {
    Tag tag = Tag::NoValue;
    std::int32_t integer = 0;
    std::int32_t upper = 0;
    std::int8_t units = 0;
    std::string text;
    std::vector<Attribute> members;

    static Value integerValue(std::int32_t v);
    static Value enumValue(std::int32_t v);
    static Value boolean(bool v);
    static Value range(std::int32_t lower, std::int32_t upper);
    static Value string(Tag tag, std::string_view s);
    static Value collection(std::vector<Attribute> members);
};

struct Attribute {
    std::string name;
    std::vector<Value> values;
};

struct Group {
    Tag tag = Tag::OperationGroup;
    std::vector<Attribute> attributes;

    const Attribute* find(std::string_view name) const;
};

struct Message {
    std::uint8_t versionMajor = 2;
    std::uint8_t versionMinor = 0;
    std::uint16_t code = 0;  // operation of a request, status of a response
    std::uint32_t requestId = 1;
    std::vector<Group> groups;

    // The first attribute of that name in a group with that tag.
    const Attribute* find(Tag group, std::string_view name) const;
    Group& group(Tag tag);  // the last group with that tag, added when there is none
};

// The encoded message up to and including the end-of-attributes tag; the
// document data, if any, follows it. Nothing when a name or value is longer than
// the encoding's 16-bit lengths allow, or a collection nests too deeply.
std::optional<std::string> encode(const Message& message);

struct DecodeLimits {
    std::size_t maxDepth = 16;          // collections within collections
    std::size_t maxValues = 200000;     // values in the whole message, members included
};

struct DecodeResult {
    std::optional<Message> message;
    std::size_t used = 0;    // bytes up to and including the end-of-attributes tag
    std::string error;       // what was wrong, with its offset, when there is no message
};

// Decodes a message whose attributes end in `bytes` (bytes after the
// end-of-attributes tag are left for the caller: document data).
DecodeResult decode(std::string_view bytes, const DecodeLimits& limits = {});

// Text of a value for messages: strings as they are, numbers in decimal,
// ranges as "a-b", collections as "{name=value ...}".
std::string describe(const Value& value);

} // namespace orvox::ipp
