// A printer's answer to Get-Printer-Attributes, whatever it holds, judged
// against every kind of setting a job can carry: the supported check and the
// fitting of papers to the printer's sizes and keys never read past a value
// list or a collection, and a fitted paper stays a paper.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/res_strings.h"
#include "print/ipp_job_attributes.h"
#include "print/ipp_supported.h"
#include "print/job_ticket.h"

namespace {

// The settings of a job that uses every attribute the output sends.
const orvox::IppJobSettings& settings()
{
    static const orvox::IppJobSettings job = [] {
        static orvox::platform::ResFileStrings strings;
        if (!strings.open(ORVOX_RES_FILE_PATH)) std::abort();
        const orvox::JobTicket t = orvox::parseJobTicket(
            "\x1B%-12345X@PJL\n@PJL SET QTY=3\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n"
            "@PJL COMMENT collate=on\n@PJL COMMENT staple=saddle\n@PJL COMMENT fold=saddle\n@PJL COMMENT trim=on\n"
            "@PJL SET JOBOFFSET=ON\n@PJL COMMENT exit=booklet-maker\n"
            "@PJL COMMENT media=(Paper%202) 842 1191 120 (Blue) (Plain)\n"
            "@PJL COMMENT media=(Paper%203) 638 842 80%20 (Odd%20colour) (Tab%20Stock)\n"
            "@PJL COMMENT cover=(Paper%202) front print-outside (Paper%203) back print-both\n"
            "@PJL COMMENT inserts=(Paper%203) 0 6 lastpage\n@PJL COMMENT separator=(Paper%203)\n"
            "@PJL COMMENT page-media=(Paper%203) duplex 2 4 9..lastpage\n@PJL COMMENT page-range=1 40\n"
            "@PJL COMMENT proof-set=hold\n@PJL COMMENT operator-message=(m)\n@PJL COMMENT deliver-to=(d)\n"
            "@PJL COMMENT account=(a)\n@PJL COMMENT header-page=on\n");
        return orvox::ippJobSettings(t, strings);
    }();
    return job;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvox;
    ipp::DecodeLimits limits;
    limits.maxValues = 4096;
    const ipp::DecodeResult r = ipp::decode(std::string_view(reinterpret_cast<const char*>(data), size), limits);
    if (!r.message) return 0;
    ipp::Group printer{ipp::Tag::PrinterGroup, {}};
    for (const ipp::Group& g : r.message->groups)
        for (const ipp::Attribute& a : g.attributes) printer.attributes.push_back(a);
    for (IppSetting s : settings().settings) {
        (void)printerSupports(printer, s);
        const ipp::Value adapted = adaptedToPrinter(printer, s.value, s.attribute == "media-col");
        if (s.value.tag == ipp::Tag::BegCollection && adapted.tag != ipp::Tag::BegCollection) std::abort();
        s.value = adapted;
        (void)printerSupports(printer, s);
    }
    return 0;
}
