// The IPP printers section of the configuration file: which entries are
// listed, and the one message that names every line that is not.
#include <gtest/gtest.h>

#include "output_fixture.h"
#include "print/ipp_client.h"
#include "print/ipp_printers.h"
#include "print/pdf_batch.h"
#include "resource.h"
#include "test_support.h"

namespace orvox {
namespace {

TEST(IppPrinterConfig, EntriesOfTheSectionAreListedInTheirOrderAndOtherSectionsAreIgnored)
{
    const IppPrinterList list = parseIppPrinters("[Admin]\r\n"
                                                 "Finisher=ipp://elsewhere/\r\n"
                                                 "[ ippprinters ]\r\n"
                                                 "; the booklet line\r\n"
                                                 "\r\n"
                                                 "  Finisher  =  ipp://127.0.0.1:8641/ipp/print  \r\n"
                                                 "Proof room=\"ipp://proofs.example\"\r\n"
                                                 "[Files]\r\n"
                                                 "Later=ipp://later/\r\n",
                                                 test::shippedStrings());
    ASSERT_EQ(list.printers.size(), 2u);
    EXPECT_EQ(list.printers[0].name, "Finisher");
    EXPECT_EQ(list.printers[0].uri, "ipp://127.0.0.1:8641/ipp/print");
    EXPECT_EQ(list.printers[1].name, "Proof room");
    EXPECT_EQ(list.printers[1].uri, "ipp://proofs.example");
    EXPECT_TRUE(list.rejected.empty());

    EXPECT_EQ(findIppPrinter(list.printers, "PROOF ROOM"), &list.printers[1]);
    EXPECT_EQ(findIppPrinter(list.printers, "Proof"), nullptr);
}

TEST(IppPrinterConfig, EntriesThatCannotBeUsedAreNotListedAndOneMessageNamesEachLine)
{
    const auto& strings = test::shippedStrings();
    const IppPrinterList list = parseIppPrinters("[IppPrinters]\n"
                                                 "Secure=ipps://printhost/ipp/print\n"
                                                 "Good=ipp://printhost/ipp/print\n"
                                                 "just a name\n"
                                                 "=ipp://nameless/\n"
                                                 "GOOD=ipp://other/\n"
                                                 "Port=ipp://printhost:99999/\n"
                                                 "Web=http://printhost/\n",
                                                 strings);
    ASSERT_EQ(list.printers.size(), 1u);
    EXPECT_EQ(list.printers[0].name, "Good");
    EXPECT_EQ(list.printers[0].uri, "ipp://printhost/ipp/print") << "the first of two same names counts";

    const std::string& message = list.rejected;
    ASSERT_EQ(message.rfind(strings.load(IDS_IPP_PRINTERS_REJECTED), 0), 0u);
    auto line = [&](int number, const std::string& text, const std::string& why) {
        return fillTemplate(strings.load(IDS_IPP_PRINTER_BAD_LINE), {std::to_string(number), text, why});
    };
    auto badAddress = [&](const std::string& why) {
        return fillTemplate(strings.load(IDS_IPP_PRINTER_BAD_ADDRESS), {why});
    };
    std::string why;
    ASSERT_FALSE(ipp::parsePrinterUri("ipps://printhost/ipp/print", &why));
    const std::string secure = badAddress(why);
    ASSERT_FALSE(ipp::parsePrinterUri("ipp://printhost:99999/", &why));
    const std::string port = badAddress(why);
    ASSERT_FALSE(ipp::parsePrinterUri("http://printhost/", &why));
    const std::string web = badAddress(why);
    EXPECT_EQ(message, strings.load(IDS_IPP_PRINTERS_REJECTED) +
                           line(2, "Secure=ipps://printhost/ipp/print", secure) +
                           line(4, "just a name", strings.load(IDS_IPP_PRINTER_NOT_AN_ENTRY)) +
                           line(5, "=ipp://nameless/", strings.load(IDS_IPP_PRINTER_NO_NAME)) +
                           line(6, "GOOD=ipp://other/", strings.load(IDS_IPP_PRINTER_SAME_NAME)) +
                           line(7, "Port=ipp://printhost:99999/", port) + line(8, "Web=http://printhost/", web));
    EXPECT_NE(message.find("ipps"), std::string::npos);
}

TEST(IppPrinterConfig, TheFileIsReadFromDiskAndAMissingOneListsNothing)
{
    test::OutputServices out;
    const std::string path = out.work.file("Orvox.ini");
    EXPECT_TRUE(readIppPrinters(path, test::shippedStrings()).printers.empty());
    test::writeBytes(path, "[IppPrinters]\nFinisher=ipp://127.0.0.1:8641/ipp/print");  // no line end at the end
    const IppPrinterList list = readIppPrinters(path, test::shippedStrings());
    ASSERT_EQ(list.printers.size(), 1u);
    EXPECT_EQ(list.printers[0].uri, "ipp://127.0.0.1:8641/ipp/print");
}

} // namespace
} // namespace orvox
