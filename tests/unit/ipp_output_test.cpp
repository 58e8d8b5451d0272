// The IPP output: the job header read back into IPP job attributes, the
// printer's supported values judged per setting, and one Print-Job per file
// against a scripted printer (its answers, failures and what is left behind).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "document_fixture.h"
#include "ipp_test_printer.h"
#include "output_fixture.h"
#include "production_booklet.h"
#include "print/ipp_job_attributes.h"
#include "print/ipp_output.h"
#include "print/ipp_supported.h"
#include "print/job_header_builder.h"
#include "print/job_ticket.h"
#include "print/print_file_reader.h"
#include "print/spooler_output.h"
#include "platform/posix/memory_spooler.h"

namespace orvox {
namespace {

using ipp::Attribute;
using ipp::Tag;
using ipp::Value;
using namespace ipptest;

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// One line per attribute: "name=value,value", collections as {member=value ...}.
std::string describeAll(const std::vector<Attribute>& attributes)
{
    std::string out;
    for (const Attribute& a : attributes) {
        out += a.name + "=";
        for (std::size_t i = 0; i < a.values.size(); ++i) out += (i ? "," : "") + ipp::describe(a.values[i]);
        out += "\n";
    }
    return out;
}

const Attribute* findAttribute(const std::vector<Attribute>& attributes, const std::string& name)
{
    for (const Attribute& a : attributes)
        if (a.name == name) return &a;
    return nullptr;
}

class IppJobHeaderTest : public test::DocumentTest {
protected:
    JobTicket build(int kind = kOutputPdf)
    {
        const auto r = builder.writeJobHeader("C:\\jobs\\report.pdf", headerPath,
                                              {doc().record(), doc().catalog(), doc().substitutions(), &ui}, kind);
        EXPECT_EQ(r, kHeaderOk);
        return parseJobTicket(slurp(headerPath));
    }

    // A saddle-stitched booklet with covers, inserts, page exceptions, offset
    // stacking, a proof hold and the operator's texts.
    void makeBooklet(std::int16_t model)
    {
        test::makeProductionBooklet(doc(), model, true, "Room 4-12, \"north\" wing");
    }

    std::string headerPath = dir.file("job.hdr");
    JobHeaderBuilder builder{test::shippedStrings(), messages, nullptr};
};

TEST(JobTicketReading, EntriesContinuationsStringsAndCustomLines)
{
    const JobTicket t = parseJobTicket("\x1B%-12345X@PJL\n"
                                       "@PJL SET QTY=3\r\n"
                                       "@PJL SET JOBNAME=\"a b.pdf\"\n"
                                       "@PJL COMMENT staple=top\n"
                                       "@PJL COMMENT inserts=(Paper%203) \n"
                                       "@PJL\tCOMMENT\t+=6 12  \n"
                                       "@PJL\tCOMMENT\t+=(Paper%205%29) lastpage\n"
                                       "@PJL SET RESOLUTION=600\n"
                                       "@PJL\tCOMMENT\t+=99\n"  // after a custom line: belongs to nothing
                                       "@PJL COMMENT staple=bottom\n"
                                       "@PJL COMMENT Someone else's comment\n"
                                       "@PJL ENTER LANGUAGE=PCL\n");
    EXPECT_EQ(t.variable("QTY"), "3");
    EXPECT_EQ(t.variable("JOBNAME"), "a b.pdf");
    ASSERT_EQ(t.all("staple").size(), 2u);
    EXPECT_EQ(t.first("staple")->fields.at(0).text, "top");
    const TicketEntry* inserts = t.first("inserts");
    ASSERT_NE(inserts, nullptr);
    std::vector<std::string> texts;
    for (const auto& f : inserts->fields) texts.push_back(f.text + (f.quoted ? "()" : ""));
    EXPECT_EQ(texts, (std::vector<std::string>{"Paper 3()", "6", "12", "Paper 5)()", "lastpage"}));
    // The custom command is kept as one; the language switch and foreign comments are not.
    EXPECT_EQ(t.otherLines, (std::vector<std::string>{"@PJL SET RESOLUTION=600"}));
}

TEST_F(IppJobHeaderTest, ABookletCarriesEachOfItsSettingsAsAnAttribute)
{
    makeBooklet(0);
    const IppJobSettings job = ippJobSettings(build(), test::shippedStrings());
    EXPECT_EQ(job.dataFormat, "pdf");
    for (const IppSetting& s : job.settings) EXPECT_FALSE(s.attribute.empty()) << s.words;
    const std::string paper3 = "media-col={media-key=Paper 3 media-size={x-dimension=21000 y-dimension=29700} "
                               "media-weight-metric=120 media-color=blue media-type=stationery}";
    const std::string paper5 = "media-col={media-key=Paper 5 media-size={x-dimension=29700 y-dimension=42000} "
                               "media-weight-metric=120 media-color=blue media-type=stationery}";
    EXPECT_EQ(describeAll(ippJobAttributes(job.settings)),
              "copies=25\n"
              "multiple-document-handling=separate-documents-collated-copies\n"
              "sides=two-sided-long-edge\n"
              "finishings=8,93,11,13,14\n"
              "output-bin=booklet-maker\n"
              "media-col={media-key=Paper 2 media-size={x-dimension=29700 y-dimension=42000} media-weight-metric=120 "
              "media-color=blue media-type=stationery}\n"
              "cover-front={cover-type=print-front " + paper5 + "}\n"
              "insert-sheet={insert-after-page-number=6 insert-count=1 " + paper3 + "},"
              "{insert-after-page-number=12 insert-count=1 " + paper3 + "}\n"
              "cover-back={cover-type=print-none " + paper3 + "}\n"
              "overrides={pages=2-5 " + paper3 + " sides=two-sided-long-edge},"
              "{pages=9-10 " + paper5 + " sides=two-sided-long-edge}\n"
              "page-ranges=1-40\n"
              "job-hold-until=indefinite\n"
              "job-message-to-operator=Use the (good) stock: 100%\n"
              "job-recipient-name=Room 4-12, \"north\" wing\n"
              "job-account-id=CC-17\n");
    // The operator's words for the papers: colour and weight.
    std::vector<std::string> words;
    for (const IppSetting& s : job.settings) words.push_back(s.words);
    EXPECT_NE(std::find(words.begin(), words.end(), "front cover on Blue 120 g"), words.end());
    EXPECT_NE(std::find(words.begin(), words.end(), "saddle stitch"), words.end());
    EXPECT_NE(std::find(words.begin(), words.end(), "pages 9-10 on Blue 120 g"), words.end());

    // Model 1 says the same booklet with its own words: its proof set waits and
    // its printed front cover is printed outside.
    rebuild();
    makeBooklet(1);
    const std::string model1 = describeAll(ippJobAttributes(ippJobSettings(build(), test::shippedStrings()).settings));
    EXPECT_NE(model1.find("cover-front={cover-type=print-front"), std::string::npos);
    EXPECT_NE(model1.find("job-hold-until=indefinite"), std::string::npos);
    EXPECT_NE(model1.find("finishings=8,93,13,14\n"), std::string::npos);  // model 1 writes no trim
}

TEST_F(IppJobHeaderTest, SettingsNoAttributeCarriesAreNamedAndNeverSent)
{
    doc().setPrinterModel(1);
    doc().setCopyCount(1);
    doc().setChapterPages("1,5");
    doc().setStatusPageMode(stored(StatusPageMode::Always));
    doc().setEmailAddress("ops@example.org");
    doc().setCustomCommands("@PJL SET RESOLUTION=600");
    doc().setSubstitutionsActive(1);
    doc().addSubstitution(3, 0, "last");
    doc().setStaplingMode(stored(StaplingMode::None));
    doc().setStackingMode(stored(StackingMode::NoOffset));
    const IppJobSettings job = ippJobSettings(build(kOutputPostScript), test::shippedStrings());
    std::vector<std::string> unsayable;
    for (const IppSetting& s : job.settings)
        if (s.attribute.empty()) unsayable.push_back(s.words);
    EXPECT_EQ(unsayable, (std::vector<std::string>{"pages the last page on Blue 120 g", "chapter starts",
                                                   "status page", "custom commands"}));
    const auto attributes = ippJobAttributes(job.settings);
    EXPECT_EQ(findAttribute(attributes, "overrides"), nullptr);
    // No finishing is said as none.
    ASSERT_NE(findAttribute(attributes, "finishings"), nullptr);
    EXPECT_EQ(ipp::describe(findAttribute(attributes, "finishings")->values.at(0)), "3");
}

TEST(IppText, UserTextsBecomeUtf8AsTyped)
{
    // Soft hyphens and swapped quotes of the header go back to what was typed;
    // Windows quotes and accents become UTF-8, control bytes blanks.
    EXPECT_EQ(ippText("Room\xAD" "4 \x93ok\x94 caf\xE9\n!"), "Room-4 \xCB\x86ok\xCB\x9C caf\xC3\xA9 !");
    EXPECT_EQ(ippText("\x80"), "\xE2\x82\xAC");
    // Cut at a whole character.
    EXPECT_EQ(ippText("ab\xE9", 3), "ab");
    EXPECT_EQ(ippText(std::string(300, 'x')).size(), 255u);
    EXPECT_EQ(fillIn("%s on %s", {"a", "%s"}), "a on %s");
}

// A printer answer for the supported check: a production printer, or a plain
// one without finishing, covers or the operator's texts.
ipp::Group productionPrinter()
{
    ipp::Group g{Tag::PrinterGroup, {}};
    auto& a = g.attributes;
    a.push_back(keywords("job-creation-attributes-supported",
                         {"copies", "finishings", "sides", "multiple-document-handling", "output-bin", "media-col",
                          "cover-front", "cover-back", "insert-sheet", "separator-sheets", "overrides", "page-ranges",
                          "job-hold-until", "job-message-to-operator", "job-recipient-name", "job-account-id"}));
    a.push_back({"copies-supported", {Value::range(1, 999)}});
    a.push_back(enums("finishings-supported", {3, 8, 13, 14, 20, 93}));
    a.push_back(keywords("sides-supported", {"one-sided", "two-sided-long-edge"}));
    a.push_back(keywords("multiple-document-handling-supported", {"separate-documents-collated-copies"}));
    a.push_back(keywords("output-bin-supported", {"top", "booklet-maker"}));
    a.push_back(keywords("media-col-supported", {"media-key", "media-size", "media-weight-metric", "media-color",
                                                 "media-type"}));
    a.push_back({"media-col-database",
                 {paperEntry(29700, 42000, 120, "blue", "stationery"), paperEntry(21000, 29700, 120, "blue", "stationery"),
                  paperEntry(21000, 29700, 80, "white", "stationery")}});
    a.push_back(keywords("cover-front-supported", {"cover-type", "media-col"}));
    a.push_back(keywords("cover-back-supported", {"cover-type", "media-col"}));
    a.push_back(keywords("cover-type-supported", {"print-none", "print-front", "print-both"}));
    a.push_back(keywords("insert-sheet-supported", {"insert-after-page-number", "insert-count", "media-col"}));
    a.push_back(keywords("overrides-supported", {"pages", "media-col", "sides"}));
    a.push_back(yes("page-ranges-supported"));
    a.push_back(keywords("job-hold-until-supported", {"no-hold", "indefinite"}));
    a.push_back(yes("job-message-to-operator-supported"));
    a.push_back(yes("job-recipient-name-supported"));
    a.push_back(yes("job-account-id-supported"));
    a.push_back(keywords("document-format-supported", {"application/pdf", "application/postscript", "application/octet-stream"},
                         Tag::MimeMediaType));
    return g;
}

ipp::Group plainPrinter()
{
    ipp::Group g{Tag::PrinterGroup, {}};
    auto& a = g.attributes;
    a.push_back(keywords("job-creation-attributes-supported",
                         {"copies", "finishings", "sides", "multiple-document-handling", "media-col", "page-ranges"}));
    a.push_back({"copies-supported", {Value::range(1, 99)}});
    a.push_back(enums("finishings-supported", {3}));
    a.push_back(keywords("sides-supported", {"one-sided", "two-sided-long-edge"}));
    a.push_back(keywords("multiple-document-handling-supported", {"separate-documents-collated-copies"}));
    a.push_back(keywords("media-col-supported", {"media-size", "media-type"}));
    a.push_back({"media-col-database", {paperEntry(21000, 29700, 80, "white", "stationery")}});
    a.push_back(yes("page-ranges-supported"));
    a.push_back(keywords("document-format-supported", {"application/pdf", "application/octet-stream"},
                         Tag::MimeMediaType));
    return g;
}

std::vector<std::string> missingOn(const ipp::Group& printer, const IppJobSettings& job)
{
    std::vector<std::string> missing;
    for (const IppSetting& s : job.settings)
        if (!printerSupports(printer, s)) missing.push_back(s.words);
    return missing;
}

TEST_F(IppJobHeaderTest, TheSupportedCheckNamesWhatAPrinterCannotDo)
{
    makeBooklet(0);
    const IppJobSettings job = ippJobSettings(build(), test::shippedStrings());
    // The production printer lacks only the trimming and the back cover's
    // unprinted A4 sheet... which it has: its database holds blue 120 g A4.
    EXPECT_EQ(missingOn(productionPrinter(), job), (std::vector<std::string>{"trim edges"}));

    // The plain printer: no finishing, no blue 120 g paper, none of the
    // production attributes; a 25-copy job is within its copies.
    EXPECT_EQ(missingOn(plainPrinter(), job),
              (std::vector<std::string>{"saddle stitch", "fold in half", "trim edges", "booklet maker",
                                        "offset stacking", "output to the booklet maker", "paper Blue 120 g",
                                        "front cover on Blue 120 g", "insert of Blue 120 g after page 6",
                                        "insert of Blue 120 g after page 12", "back cover on Blue 120 g",
                                        "pages 2-5 on Blue 120 g", "pages 9-10 on Blue 120 g",
                                        "proof set (hold the job)", "message to the operator",
                                        "deliver to Room 4-12, \"north\" wing", "charge number CC-17"}));

    // A printer that does not list its job-creation attributes is judged by
    // each attribute's supported values; one that lists no paper database by
    // its sizes.
    ipp::Group open = productionPrinter();
    open.attributes.erase(open.attributes.begin());
    open.attributes.erase(std::find_if(open.attributes.begin(), open.attributes.end(),
                                       [](const Attribute& a) { return a.name == "media-col-database"; }));
    open.attributes.push_back({"media-size-supported", {Value::collection({{"x-dimension", {Value::range(10000, 30000)}},
                                                                          {"y-dimension", {Value::range(10000, 30000)}}})}});
    const auto missing = missingOn(open, job);
    // A3 is longer than the printer's largest paper.
    EXPECT_EQ(missing, (std::vector<std::string>{"trim edges", "paper Blue 120 g", "front cover on Blue 120 g",
                                                 "pages 9-10 on Blue 120 g"}));

    const std::string question =
        unsupportedSettingsQuestion(test::shippedStrings(), "Press 1", {"saddle stitch", "front cover on Blue 120 g"});
    EXPECT_EQ(question, "The printer Press 1 cannot carry out these settings of the job:\n\n   saddle stitch\n"
                        "   front cover on Blue 120 g\n\nPrint the job without them?");
}

TEST(IppStatus, NamesOfTheStatusCodes)
{
    EXPECT_EQ(ippStatusName(0x0000), "successful-ok");
    EXPECT_EQ(ippStatusName(0x040B), "client-error-attributes-or-values-not-supported");
    EXPECT_EQ(ippStatusName(0x0506), "server-error-not-accepting-jobs");
    EXPECT_EQ(ippStatusName(0x0509), "server-error-multiple-document-jobs-not-supported");
    EXPECT_EQ(ippStatusName(0x0777), "0x0777");
}

// Open file descriptors of the process, where the system shows them (a
// Windows process under Wine sees the Wine server's, which come and go).
int openFiles()
{
#ifdef _WIN32
    return 0;
#endif
    std::error_code ec;
    if (!std::filesystem::exists("/proc/self/fd", ec)) return 0;
    int n = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec); !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) ++n;
    return n;
}

class IppSendTest : public ::testing::Test {
protected:
    IppSendTest()
    {
        test::writeBytes(jobFile, "\x1B%-12345X@PJL\n@PJL COMMENT orvox-ticket=1\n@PJL SET QTY=2\n"
                                  "@PJL COMMENT staple=saddle\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n"
                                  "@PJL COMMENT media=(Paper%202) 842 1191 120 (Blue) (Plain)\n"
                                  "@PJL COMMENT operator-message=(Fold%20with%20care)\n@PJL COMMENT data-format=pdf\n");
        // A driver's header, then the PostScript; the ticket's data-format says
        // PDF, but the data's own bytes decide.
        data = "%!PS-Adobe-3.0\n" + std::string(150000, 'x') + "\n%%EOF\n";
        test::writeBytes(dataFile,
                         "\x1B%-12345X@PJL JOB\r\n@PJL SET RESOLUTION=600\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\r\n" + data);
        filesBefore = openFiles();
    }
    ~IppSendTest() override
    {
        // Nothing of a job stays open or on disk, whatever became of it.
        EXPECT_EQ(net.open, 0);
        EXPECT_EQ(openFiles(), filesBefore);
        EXPECT_EQ(env.tempFiles(), std::vector<std::string>{});
    }

    IppOutput output() { return IppOutput(env.services, net, {"Press 1", "ipp://127.0.0.1:8631/ipp/print"}); }
    IppJobOutcome sendOne(IppOutput& o, bool drop = false, int modify = 0)
    {
        return o.send(jobFile, dataFile, "C:\\jobs\\report.pdf", modify, drop);
    }

    test::OutputServices env;
    ScriptedPrinter net;
    std::string jobFile = env.work.file("job.hdr");
    std::string dataFile = env.work.file("report.pdf");
    std::string data;
    int filesBefore = 0;
};

ipp::Group jobGroup(int id) { return {Tag::JobGroup, {{"job-id", {Value::integerValue(id)}}}}; }

TEST_F(IppSendTest, AJobGoesOutWithItsAttributesAndTheDocumentWithoutItsHeader)
{
    net.scripts.push_back({httpAnswer(0, {productionPrinter()})});
    net.scripts.push_back({httpAnswer(0, {jobGroup(42)})});
    IppOutput o = output();
    std::string error;
    ASSERT_TRUE(o.queryPrinter(&error)) << error;
    EXPECT_EQ(o.unsupportedSettings(jobFile), std::vector<std::string>{});
    const IppJobOutcome out = sendOne(o);
    EXPECT_TRUE(out.sent) << out.error;
    EXPECT_EQ(out.jobId, 42);
    EXPECT_TRUE(out.ignored.empty());

    // The query asked for what the check needs.
    const SentRequest query = takeApart(net.requests.at(0));
    ASSERT_TRUE(query.ok);
    EXPECT_EQ(query.message.code, 0x000B);
    const Attribute* asked = query.message.find(Tag::OperationGroup, "requested-attributes");
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->values.size(), printerAttributesAsked().size());

    SentRequest job = takeApart(net.requests.at(1));
    ASSERT_TRUE(job.ok);
    EXPECT_EQ(job.message.code, 0x0002);
    EXPECT_TRUE(job.document == data);  // byte for byte, the driver's header cut off
    auto op = [&](const char* name) {
        const Attribute* a = job.message.find(Tag::OperationGroup, name);
        return a ? ipp::describe(a->values.at(0)) : std::string("<none>");
    };
    EXPECT_EQ(job.message.groups.at(0).attributes.at(0).name, "attributes-charset");
    EXPECT_EQ(job.message.groups.at(0).attributes.at(1).name, "attributes-natural-language");
    EXPECT_EQ(op("printer-uri"), "ipp://127.0.0.1:8631/ipp/print");
    EXPECT_EQ(op("job-name"), "report.pdf");
    EXPECT_EQ(op("document-format"), "application/postscript");
    EXPECT_NE(op("requesting-user-name"), "<none>");
    const auto& attributes = job.message.group(Tag::JobGroup).attributes;
    // The printer knows no paper called "Paper 2", so the key stays home.
    EXPECT_EQ(describeAll(attributes),
              "copies=2\nsides=two-sided-long-edge\nfinishings=8\n"
              "media-col={media-size={x-dimension=29700 y-dimension=42000} media-weight-metric=120 media-color=blue "
              "media-type=stationery}\njob-message-to-operator=Fold with care\n");
}

TEST_F(IppSendTest, UnsupportedSettingsAreLeftOutWhenTheOperatorSaysSo)
{
    net.scripts.push_back({httpAnswer(0, {plainPrinter()})});
    net.scripts.push_back({httpAnswer(0, {jobGroup(7)})});
    net.scripts.push_back({httpAnswer(0, {jobGroup(8)})});
    IppOutput o = output();
    ASSERT_TRUE(o.queryPrinter(nullptr));
    EXPECT_EQ(o.unsupportedSettings(jobFile),
              (std::vector<std::string>{"saddle stitch", "paper Blue 120 g", "message to the operator"}));
    EXPECT_TRUE(sendOne(o, true).sent);
    SentRequest dropped = takeApart(net.requests.at(1));
    EXPECT_EQ(describeAll(dropped.message.group(Tag::JobGroup).attributes), "copies=2\nsides=two-sided-long-edge\n");
    // Without the drop everything goes, and the printer decides.
    EXPECT_TRUE(sendOne(o, false).sent);
    SentRequest whole = takeApart(net.requests.at(2));
    EXPECT_NE(findAttribute(whole.message.group(Tag::JobGroup).attributes, "finishings"), nullptr);
    // The plain printer takes no PostScript: the document goes as octet-stream.
    const Attribute* format = whole.message.find(Tag::OperationGroup, "document-format");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->values.at(0).text, "application/octet-stream");
}

TEST_F(IppSendTest, WhatThePrinterIgnoredIsNamedInTheOperatorsWords)
{
    ipp::Group unsupported{Tag::UnsupportedGroup, {enums("finishings", {8}), keywords("print-scaling", {"fit"})}};
    net.scripts.push_back({httpAnswer(0x0001, {jobGroup(9), unsupported})});
    IppOutput o = output();
    const IppJobOutcome out = sendOne(o);
    EXPECT_TRUE(out.sent);
    EXPECT_EQ(out.jobId, 9);
    EXPECT_EQ(out.ignored, (std::vector<std::string>{"saddle stitch", "print-scaling"}));
}

TEST_F(IppSendTest, OfSeveralInsertsOnlyTheOneThePrinterIgnoredIsNamed)
{
    std::string header = test::readBytes(jobFile);
    header += "@PJL COMMENT inserts=(Paper%202) 3 7\n";
    test::writeBytes(jobFile, header);
    auto insertAfter = [](int page) {
        return Value::collection(
            {{"insert-after-page-number", {Value::integerValue(page)}},
             {"insert-count", {Value::integerValue(1)}},
             {"media-col", {Value::collection({{"media-size", {Value::collection({{"x-dimension", {Value::integerValue(29700)}},
                                                                                  {"y-dimension", {Value::integerValue(42000)}}})}},
                                               {"media-weight-metric", {Value::integerValue(120)}},
                                               {"media-color", {Value::string(Tag::Keyword, "blue")}},
                                               {"media-type", {Value::string(Tag::Keyword, "stationery")}}})}}});
    };
    // The printer echoes the one insert it skipped, exactly as sent.
    net.scripts.push_back({httpAnswer(0x0001, {jobGroup(10), {Tag::UnsupportedGroup, {{"insert-sheet", {insertAfter(7)}}}}})});
    IppOutput o = output();
    const IppJobOutcome out = sendOne(o);
    ASSERT_TRUE(out.sent) << out.error;
    SentRequest job = takeApart(net.requests.at(0));
    ASSERT_TRUE(job.ok);
    const Attribute* sent = findAttribute(job.message.group(Tag::JobGroup).attributes, "insert-sheet");
    ASSERT_NE(sent, nullptr);
    ASSERT_EQ(sent->values.size(), 2u);
    ASSERT_EQ(ipp::describe(sent->values[1]), ipp::describe(insertAfter(7))) << "the echo below is of what went";
    EXPECT_EQ(out.ignored, std::vector<std::string>{"insert of Blue 120 g after page 7"});

    // An insert the printer names changed cannot be told apart: each is named.
    net.scripts.push_back({httpAnswer(0x0001, {jobGroup(11), {Tag::UnsupportedGroup, {{"insert-sheet", {insertAfter(99)}}}}})});
    EXPECT_EQ(sendOne(o).ignored,
              (std::vector<std::string>{"insert of Blue 120 g after page 3", "insert of Blue 120 g after page 7"}));
}

TEST_F(IppSendTest, FailuresNameThePrinterAndTheReason)
{
    IppOutput o = output();
    // An IPP status other than success, with the printer's message.
    ipp::Group status{Tag::OperationGroup, {{"status-message", {Value::string(Tag::Text, "Printer paused")}}}};
    net.scripts.push_back({httpAnswer(0x0506, {status})});
    IppJobOutcome out = sendOne(o);
    EXPECT_FALSE(out.sent);
    EXPECT_EQ(out.error, "The printer Press 1 did not take the job: server-error-not-accepting-jobs (Printer paused)");

    // No printer at the address.
    net.refuse = true;
    out = sendOne(o);
    EXPECT_FALSE(out.sent);
    EXPECT_NE(out.error.find("Press 1"), std::string::npos);
    EXPECT_NE(out.error.find("Connection refused"), std::string::npos);
    net.refuse = false;

    // The connection breaks in the middle of the document, with no answer.
    net.scripts.push_back({"", 100000, true, "Connection reset by peer"});
    out = sendOne(o);
    EXPECT_FALSE(out.sent);
    EXPECT_NE(out.error.find("Connection reset by peer"), std::string::npos) << out.error;

    // The printer takes everything and never answers.
    net.scripts.push_back({"", std::string::npos, true, "timed out"});
    out = sendOne(o);
    EXPECT_FALSE(out.sent);
    EXPECT_NE(out.error.find("timed out"), std::string::npos) << out.error;

    // A query that fails says so, and the check then finds nothing to ask about.
    net.scripts.push_back({httpAnswer(0x0400)});
    std::string error;
    EXPECT_FALSE(o.queryPrinter(&error));
    EXPECT_EQ(error, "The printer Press 1 cannot be asked what it supports: client-error-bad-request");

    // A print file that went away is not sent, and nothing connects.
    std::filesystem::remove(dataFile);
    const std::size_t connections = net.requests.size();
    out = sendOne(o);
    EXPECT_FALSE(out.sent);
    EXPECT_NE(out.error.find("cannot be read"), std::string::npos);
    EXPECT_EQ(net.requests.size(), connections);
}

TEST_F(IppSendTest, ABusyPrinterGetsTheJobAgainUntilItTakesIt)
{
    ipp::Group busy{Tag::OperationGroup, {{"status-message", {Value::string(Tag::Text, "Currently printing another job.")}}}};
    net.scripts.push_back({httpAnswer(0x0507, {busy})});
    net.scripts.push_back({httpAnswer(0x0507, {busy})});
    net.scripts.push_back({httpAnswer(0, {jobGroup(5)})});
    IppOutput o = output();
    const IppJobOutcome out = sendOne(o);
    EXPECT_TRUE(out.sent) << out.error;
    EXPECT_EQ(out.jobId, 5);
    ASSERT_EQ(net.requests.size(), 3u);
    for (const std::string& request : net.requests) EXPECT_TRUE(takeApart(request).document == data);

    // A printer that stays busy past the time limit fails the send with its status.
    IppOutput impatient(env.services, net, {"Press 1", "ipp://127.0.0.1:8631/ipp/print"}, {300, 1u << 20});
    for (int i = 0; i < 20; ++i) net.scripts.push_back({httpAnswer(0x0507, {busy})});
    const IppJobOutcome refused = impatient.send(jobFile, dataFile, "report.ps", 0, false);
    EXPECT_FALSE(refused.sent);
    EXPECT_EQ(refused.error, "The printer Press 1 did not take the job: server-error-busy (Currently printing another job.)");
    EXPECT_LT(net.requests.size(), 10u);  // a few tries, not a storm
    net.scripts.clear();
}

TEST_F(IppJobHeaderTest, APaperOfNoStandardSizeTakesThePrintersOwnSizeNearIt)
{
    // A4 with tab (225 x 297 mm) is 638 x 842 points in the job file: 22507 x 29704.
    const JobTicket t = parseJobTicket("\x1B%-12345X@PJL\n@PJL COMMENT media=(Tabs) 638 842 160 (Ivory) (Tab%20Stock)\n");
    const IppJobSettings job = ippJobSettings(t, test::shippedStrings());
    ASSERT_EQ(job.settings.size(), 2u);  // finishings none, the paper
    const IppSetting& paper = job.settings[1];
    EXPECT_EQ(ipp::describe(paper.value), "{media-key=Tabs media-size={x-dimension=22507 y-dimension=29704} "
                                          "media-weight-metric=160 media-color=ivory media-type=tab-stock}");
    ipp::Group printer{Tag::PrinterGroup, {}};
    printer.attributes.push_back(keywords("media-col-supported", {"media-size", "media-weight-metric", "media-color", "media-type"}));
    printer.attributes.push_back(keywords("job-creation-attributes-supported", {"media-col"}));
    printer.attributes.push_back({"media-col-database", {paperEntry(22500, 29700, 160, "ivory", "tab-stock"),
                                                         paperEntry(21000, 29700, 80, "white", "stationery")}});
    EXPECT_FALSE(printerSupports(printer, paper));
    const Value adapted = adaptedToPrinter(printer, paper.value, true);
    EXPECT_EQ(ipp::describe(adapted), "{media-size={x-dimension=22500 y-dimension=29700} media-weight-metric=160 "
                                      "media-color=ivory media-type=tab-stock}");
    EXPECT_TRUE(printerSupports(printer, {paper.words, paper.attribute, adapted}));
    // Sizes further off than the named sizes' tolerance stay as they are,
    // also the most negative a printer can send.
    printer.attributes.back().values = {paperEntry(22000, 29700, 160, "ivory", "tab-stock"),
                                        paperEntry(-2147483647 - 1, 29700, 160, "ivory", "tab-stock")};
    EXPECT_EQ(ipp::describe(adaptedToPrinter(printer, paper.value, true)),
              "{media-size={x-dimension=22507 y-dimension=29704} media-weight-metric=160 media-color=ivory "
              "media-type=tab-stock}");
}

TEST(IppPageExceptions, PagesInAnyOrderAndRangesToTheEndKeepEveryPage)
{
    // A page list as typed: not sorted, with a range to the end before a page
    // inside it. No page is lost to an earlier range, and the open range does
    // not run past the largest page number.
    const JobTicket t = parseJobTicket("\x1B%-12345X@PJL\n@PJL COMMENT media=(Yellow) 595 842 80 (Yellow) (Plain)\n"
                                       "@PJL COMMENT page-media=(Yellow) simplex 9 2 3 12.. 7.. 20\n"
                                       "@PJL COMMENT page-media=(Yellow) duplex 11 1\n");
    const auto attributes = ippJobAttributes(ippJobSettings(t, test::shippedStrings()).settings);
    const Attribute* overrides = findAttribute(attributes, "overrides");
    ASSERT_NE(overrides, nullptr);
    ASSERT_EQ(overrides->values.size(), 2u);
    const std::string yellow = " media-col={media-key=Yellow media-size={x-dimension=21000 y-dimension=29700} "
                               "media-weight-metric=80 media-color=yellow media-type=stationery}";
    EXPECT_EQ(ipp::describe(overrides->values[0]), "{pages=2-3,7-2147483647" + yellow + " sides=one-sided}");
    // Two-sided: each named front takes its sheet's back with it.
    EXPECT_EQ(ipp::describe(overrides->values[1]), "{pages=1-2,11-12" + yellow + " sides=two-sided-long-edge}");
}

TEST_F(IppSendTest, AFileSentAsItIsKeepsItsHeaderAndSaysItsLanguage)
{
    net.scripts.push_back({httpAnswer(0, {jobGroup(1)})});
    IppOutput o = output();
    EXPECT_TRUE(sendOne(o, false, kModifyPrintFileNo).sent);
    const SentRequest job = takeApart(net.requests.at(0));
    EXPECT_TRUE(job.document == test::readBytes(dataFile));
    EXPECT_EQ(job.message.find(Tag::OperationGroup, "document-format")->values.at(0).text, "application/postscript");
}

TEST(DocumentFormat, TheDataTellsItsOwnLanguage)
{
    EXPECT_EQ(documentFormatOf("%PDF-1.7\n"), "application/pdf");
    EXPECT_EQ(documentFormatOf("\n\n%!PS-Adobe-3.0\n"), "application/postscript");
    EXPECT_EQ(documentFormatOf("%!PS-Adobe-3.0\n% a comment naming %PDF-1.4\n"), "application/postscript");
    EXPECT_EQ(documentFormatOf("\x1B" "E\x1B&l0O"), "application/vnd.hp-pcl");
    EXPECT_EQ(documentFormatOf("\x1B%-12345X@PJL\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n%!"), "application/postscript");
    EXPECT_EQ(documentFormatOf("\x1B%-12345X@PJL\n@PJL ENTER LANGUAGE=PCL\n\x1B" "E"), "application/vnd.hp-pcl");
    EXPECT_EQ(documentFormatOf("II*\0"), "");
}

// The document a reader gives, read in pieces of `piece` bytes.
std::string readAll(PrintFileReader& r, std::size_t piece)
{
    std::string out;
    std::vector<char> buffer(piece);
    for (;;) {
        const long n = r.read(buffer.data(), buffer.size());
        if (n <= 0) {
            EXPECT_EQ(n, 0);
            return out;
        }
        out.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

TEST(PrintFileReader, CutsAndDropsExactlyAsTheQueuePathDoes)
{
    test::OutputServices env;
    const std::string path = env.work.file("data.ps");
    const std::string header = "\x1B%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n";
    const std::string d(4, kCtrlD);
    // Files with and without a header, with Ctrl-D at both ends, and ends on
    // both sides of a 2048-byte chunk boundary.
    for (const std::string& body : {std::string("%!PS\nshowpage\n"), d + "%!PS\n" + std::string(2048 - 9, 'p') + d,
                                    d + "%!PS\n" + std::string(5000, 'q') + d, d + d, std::string(4096, 'r')}) {
        for (const std::string& file : {body, header + body}) {
            test::writeBytes(path, file);
            for (const bool cut : {true, false}) {
                for (const bool drop : {true, false}) {
                    SCOPED_TRACE(std::to_string(file.size()) + (cut ? " cut" : "") + (drop ? " drop" : ""));
                    // The queue path: the header-stripped copy, then the copy to the printer.
                    platform::MemorySpooler spooler;
                    spooler.addQueue("q");
                    auto printer = spooler.open("q", nullptr);
                    SpoolerOutput queuePath(env.services, "ipp");
                    const std::string copy = cut ? queuePath.makeHeaderStrippedCopy(path) : std::string();
                    ASSERT_TRUE(printer->startDocument("d"));
                    ASSERT_TRUE(copyFileToPrinter(copy.empty() ? path : copy, *printer, drop));
                    printer->endDocument();
                    if (!copy.empty()) std::filesystem::remove(copy);
                    for (const std::size_t piece : {std::size_t{7}, std::size_t{2048}, std::size_t{65536}}) {
                        PrintFileReader reader(path, test::shippedStrings(), cut, drop);
                        ASSERT_TRUE(reader.ok());
                        EXPECT_EQ(readAll(reader, piece), spooler.documents.at(0).bytes) << piece;
                    }
                }
            }
        }
    }
    PrintFileReader missing(env.work.file("none"), test::shippedStrings(), true, false);
    EXPECT_FALSE(missing.ok());
}


} // namespace
} // namespace orvox
