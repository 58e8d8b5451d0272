// IPP messages: the encoding of requests byte for byte, and the reader of
// printers' responses on well-formed and broken input.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "print/ipp_message.h"
#include "test_support.h"

namespace {

using namespace orvox::ipp;

std::string be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string be32(unsigned v) { return be16(v >> 16) + be16(v & 0xFFFF); }
std::string item(int tag, std::string_view name, std::string_view value)
{
    return std::string(1, static_cast<char>(tag)) + be16(static_cast<unsigned>(name.size())) + std::string(name) +
           be16(static_cast<unsigned>(value.size())) + std::string(value);
}

// The Print-Job request of the encoding's own example, built field by field.
TEST(IppMessage, EncodesAPrintJobRequestByteForByte)
{
    Message m;
    m.versionMajor = 1;
    m.versionMinor = 1;
    m.code = static_cast<std::uint16_t>(Operation::PrintJob);
    m.requestId = 1;
    Group& op = m.group(Tag::OperationGroup);
    op.attributes.push_back({"attributes-charset", {Value::string(Tag::Charset, "utf-8")}});
    op.attributes.push_back({"attributes-natural-language", {Value::string(Tag::NaturalLanguage, "en-us")}});
    op.attributes.push_back(
        {"printer-uri", {Value::string(Tag::Uri, "ipp://printer.example.com/ipp/print/pinetree")}});
    op.attributes.push_back({"job-name", {Value::string(Tag::Name, "foobar")}});
    op.attributes.push_back({"ipp-attribute-fidelity", {Value::boolean(true)}});
    Group& job = m.group(Tag::JobGroup);
    job.attributes.push_back({"copies", {Value::integerValue(20)}});
    job.attributes.push_back({"sides", {Value::string(Tag::Keyword, "two-sided-long-edge")}});

    const std::string expected = std::string("\x01\x01\x00\x02", 4) + be32(1) + "\x01" +
                                 item(0x47, "attributes-charset", "utf-8") +
                                 item(0x48, "attributes-natural-language", "en-us") +
                                 item(0x45, "printer-uri", "ipp://printer.example.com/ipp/print/pinetree") +
                                 item(0x42, "job-name", "foobar") +
                                 item(0x22, "ipp-attribute-fidelity", std::string(1, '\x01')) + "\x02" +
                                 item(0x21, "copies", be32(20)) + item(0x44, "sides", "two-sided-long-edge") + "\x03";
    EXPECT_EQ(encode(m), expected);
}

Message productionJob()
{
    Message m;
    m.code = static_cast<std::uint16_t>(Operation::PrintJob);
    m.requestId = 7;
    m.group(Tag::OperationGroup).attributes.push_back({"attributes-charset", {Value::string(Tag::Charset, "utf-8")}});
    Group& job = m.group(Tag::JobGroup);
    job.attributes.push_back({"finishings", {Value::enumValue(4), Value::enumValue(8)}});
    job.attributes.push_back({"page-ranges", {Value::range(1, 4), Value::range(9, 12)}});
    const Value size = Value::collection(
        {{"x-dimension", {Value::integerValue(21000)}}, {"y-dimension", {Value::integerValue(29700)}}});
    job.attributes.push_back({"media-col",
                              {Value::collection({{"media-size", {size}},
                                                  {"media-type", {Value::string(Tag::Keyword, "stationery")}},
                                                  {"media-weight-metric", {Value::integerValue(120)}}})}});
    job.attributes.push_back({"job-message-to-operator", {Value::string(Tag::Text, "Room 12 \xe9")}});
    return m;
}

TEST(IppMessage, DecodesWhatItEncodesWithNestedCollectionsAndLeavesTheDocumentData)
{
    const Message m = productionJob();
    const auto bytes = encode(m);
    ASSERT_TRUE(bytes);
    const std::string withData = *bytes + "%PDF-1.7";
    const DecodeResult r = decode(withData);
    ASSERT_TRUE(r.message) << r.error;
    EXPECT_EQ(r.used, bytes->size());
    EXPECT_EQ(encode(*r.message), bytes);

    const Attribute* media = r.message->find(Tag::JobGroup, "media-col");
    ASSERT_NE(media, nullptr);
    EXPECT_EQ(describe(media->values[0]),
              "{media-size={x-dimension=21000 y-dimension=29700} media-type=stationery media-weight-metric=120}");
    const Attribute* ranges = r.message->find(Tag::JobGroup, "page-ranges");
    ASSERT_NE(ranges, nullptr);
    ASSERT_EQ(ranges->values.size(), 2u);
    EXPECT_EQ(describe(ranges->values[1]), "9-12");
    EXPECT_EQ(r.message->requestId, 7u);
}

TEST(IppMessage, ReadsAPrinterResponseWithLanguageValuesAndOutOfBandValues)
{
    const std::string response = std::string("\x02\x00\x00\x01", 4) + be32(3) + "\x01" +
                                 item(0x47, "attributes-charset", "utf-8") +
                                 item(0x35, "status-message", be16(5) + "en-us" + be16(7) + "ignored") + "\x04" +
                                 item(0x44, "finishings-supported", "") + item(0x13, "", "") +
                                 item(0x23, "", be32(0xFFFFFFFE)) + "\x05" + item(0x10, "cover-front", "") + "\x03";
    const DecodeResult r = decode(response);
    ASSERT_TRUE(r.message) << r.error;
    EXPECT_EQ(r.message->code, kSuccessfulOkIgnoredOrSubstituted);
    EXPECT_EQ(r.message->find(Tag::OperationGroup, "status-message")->values[0].text, "ignored");
    const Attribute* fin = r.message->find(Tag::PrinterGroup, "finishings-supported");
    ASSERT_NE(fin, nullptr);
    ASSERT_EQ(fin->values.size(), 3u);
    EXPECT_EQ(fin->values[1].tag, Tag::NoValue);
    EXPECT_EQ(fin->values[2].integer, -2);
    EXPECT_NE(r.message->find(Tag::UnsupportedGroup, "cover-front"), nullptr);
}

// A Get-Printer-Attributes response as CUPS's test printer sent it.
TEST(IppMessage, ReadsARealPrinterAttributesResponse)
{
    std::ifstream in(orvox::test::sourceDir() + "/tests/fuzz/corpus/ipp_response/printer-attributes.bin",
                     std::ios::binary);
    ASSERT_TRUE(in);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const DecodeResult r = decode(bytes);
    ASSERT_TRUE(r.message) << r.error;
    EXPECT_EQ(r.used, bytes.size());
    EXPECT_EQ(r.message->code, kSuccessfulOk);
    EXPECT_EQ(r.message->requestId, 1u);
    const Attribute* name = r.message->find(Tag::PrinterGroup, "printer-name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->values[0].text, "TestPrinter");
    const Attribute* ops = r.message->find(Tag::PrinterGroup, "operations-supported");
    ASSERT_NE(ops, nullptr);
    bool printJob = false;
    for (const Value& v : ops->values) printJob = printJob || (v.tag == Tag::Enum && v.integer == 2);
    EXPECT_TRUE(printJob);
    const Attribute* media = r.message->find(Tag::PrinterGroup, "media-col-default");
    ASSERT_NE(media, nullptr);
    ASSERT_EQ(media->values[0].tag, Tag::BegCollection);
    EXPECT_NE(describe(media->values[0]).find("media-size={x-dimension="), std::string::npos);
}

TEST(IppMessage, RefusesEveryCutOfAValidResponse)
{
    const std::string whole = *encode(productionJob());
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const DecodeResult r = decode(std::string_view(whole).substr(0, n));
        EXPECT_FALSE(r.message) << "cut at " << n;
        EXPECT_FALSE(r.error.empty()) << "cut at " << n;
    }
}

TEST(IppMessage, RefusesMalformedStructures)
{
    const std::string head = std::string("\x02\x00\x00\x00", 4) + be32(1);
    const struct {
        const char* what;
        std::string bytes;
        const char* error;
    } cases[] = {
        {"attribute before a group", head + item(0x21, "copies", be32(1)) + "\x03", "before any attribute group"},
        {"extra value first", head + "\x01" + item(0x21, "", be32(1)) + "\x03", "no attribute before it"},
        {"short integer", head + "\x01" + item(0x21, "copies", "\x01") + "\x03", "not 4 bytes"},
        {"boolean 2", head + "\x01" + item(0x22, "b", "\x02") + "\x03", "boolean"},
        {"value length past the end", head + "\x01\x44" + be16(1) + "k" + be16(500) + "abc", "past the end"},
        {"name length past the end", head + "\x01\x44" + be16(0xFFFF) + "k", "past the end"},
        {"language past its value", head + "\x01" + item(0x35, "t", be16(40) + "en"), "language runs past"},
        {"collection without end", head + "\x01" + item(0x34, "c", "") + item(0x4A, "", "m") +
                                       item(0x21, "", be32(1)) + "\x03", "no end"},
        {"member value without name", head + "\x01" + item(0x34, "c", "") + item(0x21, "", be32(1)) +
                                          item(0x37, "", "") + "\x03", "no member name"},
        {"end tag outside a collection", head + "\x01" + item(0x37, "x", "") + "\x03", "outside a collection"},
        {"no end of attributes", head + "\x01" + item(0x21, "copies", be32(1)), "without an end-of-attributes"},
        {"reserved delimiter", head + std::string(1, '\0'), "reserved"},
    };
    for (const auto& c : cases) {
        const DecodeResult r = decode(c.bytes);
        EXPECT_FALSE(r.message) << c.what;
        EXPECT_NE(r.error.find(c.error), std::string::npos) << c.what << ": " << r.error;
    }
}

TEST(IppMessage, BoundsNestingAndValueCount)
{
    const std::string head = std::string("\x02\x00\x00\x00", 4) + be32(1) + "\x01";
    std::string nested = item(0x34, "c", "");
    for (int i = 0; i < 40; ++i) nested += item(0x4A, "", "m") + item(0x34, "", "");
    const DecodeResult deep = decode(head + nested);
    EXPECT_FALSE(deep.message);
    EXPECT_NE(deep.error.find("nest too deeply"), std::string::npos) << deep.error;

    std::string many = item(0x21, "n", be32(0));
    for (int i = 0; i < 50; ++i) many += item(0x21, "", be32(static_cast<unsigned>(i)));
    DecodeLimits limits;
    limits.maxValues = 50;
    const DecodeResult r = decode(head + many + "\x03", limits);
    EXPECT_FALSE(r.message);
    limits.maxValues = 51;
    EXPECT_TRUE(decode(head + many + "\x03", limits).message);
}

TEST(IppMessage, EncodingRefusesWhatTheLengthsCannotCarry)
{
    Message m;
    m.group(Tag::JobGroup).attributes.push_back({std::string(70000, 'n'), {Value::integerValue(1)}});
    EXPECT_FALSE(encode(m));

    Message deep;
    Value v = Value::integerValue(1);
    for (int i = 0; i < 20; ++i) v = Value::collection({{"m", {v}}});
    deep.group(Tag::JobGroup).attributes.push_back({"c", {v}});
    EXPECT_FALSE(encode(deep));

    Message empty;
    empty.group(Tag::JobGroup).attributes.push_back({"no-values", {}});
    EXPECT_FALSE(encode(empty));
}

} // namespace
