#include "print/ipp_output.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "print/ipp_job_attributes.h"
#include "print/ipp_supported.h"
#include "print/job_ticket.h"
#include "print/print_file_reader.h"
#include "print/spooler_output.h"
#include "resource.h"

namespace orvox {

namespace {

using ipp::Attribute;
using ipp::Tag;
using ipp::Value;

std::string hex4(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", v & 0xFFFFu);
    return text;
}

// The user the job is printed for, as the system names them.
std::string requestingUser()
{
    for (const char* name : {"USERNAME", "USER", "LOGNAME"}) {
        if (const char* value = std::getenv(name); value && *value) return ippText(value);
    }
    return "orvox";
}

// The file name of a path, either separator.
std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string formatOfEntry(const std::string& dataFormat)
{
    if (dataFormat == "pdf" || dataFormat == "pdf-from-tiff") return "application/pdf";
    if (dataFormat == "postscript") return "application/postscript";
    if (dataFormat == "pcl") return "application/vnd.hp-pcl";
    return {};
}

void addOperationAttributes(ipp::Message& m, const std::string& uri)
{
    ipp::Group& op = m.group(Tag::OperationGroup);
    op.attributes.push_back({"attributes-charset", {Value::string(Tag::Charset, "utf-8")}});
    op.attributes.push_back({"attributes-natural-language", {Value::string(Tag::NaturalLanguage, "en")}});
    op.attributes.push_back({"printer-uri", {Value::string(Tag::Uri, uri)}});
    op.attributes.push_back({"requesting-user-name", {Value::string(Tag::Name, requestingUser())}});
}

// The response's status as the operator reads it: its name, and the
// printer's own message when it gave one.
std::string statusText(const ipp::Message& response)
{
    std::string text = ippStatusName(response.code);
    if (const Attribute* message = response.find(Tag::OperationGroup, "status-message");
        message && !message->values.empty() && !message->values[0].text.empty())
        text += " (" + message->values[0].text + ")";
    return text;
}

bool isSuccess(std::uint16_t status) { return status < 0x0100; }

constexpr std::uint16_t kServerErrorBusy = 0x0507;

} // namespace

struct IppOutput::Capabilities {
    ipp::Group printer;
};

IppOutput::IppOutput(const platform::Services& services, platform::Network& network, IppPrinter printer,
                     ipp::ExchangeLimits limits)
    : services_(services), network_(network), printer_(std::move(printer)), limits_(limits)
{
}

IppOutput::~IppOutput() = default;

const ipp::Group* IppOutput::printerAttributes() const { return capabilities_ ? &capabilities_->printer : nullptr; }

bool IppOutput::queryPrinter(std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error) *error = fillIn(services_.strings.load(IDS_IPP_NOT_REACHED), {printer_.name, why});
        return false;
    };
    std::string why;
    const auto uri = ipp::parsePrinterUri(printer_.uri, &why);
    if (!uri) return fail(why);
    ipp::Message request;
    request.code = static_cast<std::uint16_t>(ipp::Operation::GetPrinterAttributes);
    addOperationAttributes(request, printer_.uri);
    Attribute asked{"requested-attributes", {}};
    for (const std::string& name : printerAttributesAsked()) asked.values.push_back(Value::string(Tag::Keyword, name));
    request.group(Tag::OperationGroup).attributes.push_back(std::move(asked));
    const auto encoded = ipp::encode(request);
    if (!encoded) return fail("the request cannot be encoded");
    ipp::Exchange answer = ipp::exchange(network_, *uri, *encoded, nullptr, limits_);
    if (!answer.response) return fail(answer.error);
    if (!isSuccess(answer.response->code)) return fail(statusText(*answer.response));
    auto capabilities = std::make_unique<Capabilities>();
    for (const ipp::Group& g : answer.response->groups) {
        if (g.tag != Tag::PrinterGroup) continue;
        for (const Attribute& a : g.attributes) capabilities->printer.attributes.push_back(a);
    }
    capabilities->printer.tag = Tag::PrinterGroup;
    capabilities_ = std::move(capabilities);
    return true;
}

std::vector<std::string> IppOutput::unsupportedSettings(const std::string& jobFile) const
{
    std::vector<std::string> missing;
    if (!capabilities_) return missing;
    const auto ticket = readJobTicket(jobFile, nullptr);
    if (!ticket) return missing;
    for (IppSetting s : ippJobSettings(*ticket, services_.strings).settings) {
        if (s.words.empty()) continue;
        s.value = adaptedToPrinter(capabilities_->printer, s.value, s.attribute == "media-col");
        if (!printerSupports(capabilities_->printer, s)) missing.push_back(s.words);
    }
    return missing;
}

IppJobOutcome IppOutput::send(const std::string& jobFile, const std::string& dataFile, const std::string& jobName,
                              int modifyPrintFile, bool dropUnsupported)
{
    IppJobOutcome outcome;
    auto fail = [&](const std::string& why) {
        outcome.sent = false;
        outcome.error = fillIn(services_.strings.load(IDS_IPP_NOT_TAKEN), {printer_.name, why});
        return outcome;
    };
    std::string why;
    const auto uri = ipp::parsePrinterUri(printer_.uri, &why);
    if (!uri) return fail(why);
    const auto ticket = readJobTicket(jobFile, &why);
    if (!ticket) return fail(why);
    const IppJobSettings job = ippJobSettings(*ticket, services_.strings);
    const ipp::Group* printer = printerAttributes();

    // The settings that go: all, or with `dropUnsupported` those the printer
    // supports; a request for nothing (finishings none) goes only where the
    // printer knows it. Each as this printer is to get it: paper keys only to
    // a printer known to have them (none when it could not be asked).
    const ipp::Group unknownPrinter;
    std::vector<bool> keep(job.settings.size(), true);
    std::vector<IppSetting> settings = job.settings;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        settings[i].value = adaptedToPrinter(printer ? *printer : unknownPrinter, settings[i].value,
                                               settings[i].attribute == "media-col");
        if (!printer) continue;
        const bool supported = printerSupports(*printer, settings[i]);
        if (!supported && (dropUnsupported || settings[i].words.empty())) keep[i] = false;
    }

    std::string format;
    {
        PrintFileReader reader(dataFile, services_.strings, modifyPrintFile != kModifyPrintFileNo, removeCtrlD());
        if (!reader.ok()) return fail("the print file " + dataFile + " cannot be read");
        format = documentFormatOf(reader.head());
    }
    if (format.empty()) format = formatOfEntry(job.dataFormat);
    if (format.empty()) format = "application/octet-stream";
    if (printer) {
        const Attribute* formats = printer->find("document-format-supported");
        bool listed = false;
        if (formats)
            for (const Value& v : formats->values) listed = listed || v.text == format;
        if (formats && !listed) format = "application/octet-stream";
    }

    ipp::Message request;
    request.code = static_cast<std::uint16_t>(ipp::Operation::PrintJob);
    addOperationAttributes(request, printer_.uri);
    ipp::Group& op = request.group(Tag::OperationGroup);
    op.attributes.push_back({"job-name", {Value::string(Tag::Name, ippText(fileNameOf(jobName)))}});
    op.attributes.push_back({"document-format", {Value::string(Tag::MimeMediaType, format)}});
    std::vector<Attribute> attributes = ippJobAttributes(settings, &keep);
    if (!attributes.empty()) request.group(Tag::JobGroup).attributes = std::move(attributes);
    const auto encoded = ipp::encode(request);
    if (!encoded) return fail("the job's attributes cannot be encoded");

    // A printer that is busy with another job takes this one when it is done:
    // the job is offered again, whole, until the printer's time limit has passed.
    ipp::Exchange answer;
    for (int waited = 0, pause = 100;; waited += pause, pause = std::min(pause * 2, 2000)) {
        PrintFileReader reader(dataFile, services_.strings, modifyPrintFile != kModifyPrintFileNo, removeCtrlD());
        if (!reader.ok()) return fail("the print file " + dataFile + " cannot be read");
        const ipp::DocumentReader document = [&reader](char* buffer, std::size_t capacity) {
            return reader.read(buffer, capacity);
        };
        answer = ipp::exchange(network_, *uri, *encoded, &document, limits_);
        if (!answer.response || answer.response->code != kServerErrorBusy || waited >= limits_.timeoutMs) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    }
    if (!answer.response) return fail(answer.error);
    const ipp::Message& response = *answer.response;
    if (!isSuccess(response.code)) return fail(statusText(response));
    outcome.sent = true;
    if (const Attribute* id = response.find(Tag::JobGroup, "job-id"); id && !id->values.empty())
        outcome.jobId = id->values[0].integer;
    // What the printer ignored, in the operator's words where a sent setting
    // matches, else by the attribute's name.
    for (const ipp::Group& g : response.groups) {
        if (g.tag != Tag::UnsupportedGroup) continue;
        for (const Attribute& a : g.attributes) {
            auto echoes = [&a](const Value& sent) {
                return std::any_of(a.values.begin(), a.values.end(), [&](const Value& v) {
                    if (v.tag != sent.tag) return false;
                    if (v.tag == Tag::BegCollection) return ipp::describe(v) == ipp::describe(sent);
                    return v.text == sent.text && v.integer == sent.integer;
                });
            };
            // One insert of several that the printer names is that one; a
            // collection it changed on the way cannot be told apart, so each
            // sent value of the attribute is named.
            bool echoedCollection = false;
            for (std::size_t i = 0; i < settings.size(); ++i)
                if (keep[i] && settings[i].attribute == a.name && settings[i].value.tag == Tag::BegCollection)
                    echoedCollection = echoedCollection || echoes(settings[i].value);
            bool named = false;
            for (std::size_t i = 0; i < settings.size(); ++i) {
                if (!keep[i] || settings[i].attribute != a.name) continue;
                const IppSetting& s = settings[i];
                const bool anyCollection = s.value.tag == Tag::BegCollection && !echoedCollection;
                const bool matches = a.values.empty() || a.values[0].tag == Tag::Unsupported || anyCollection || echoes(s.value);
                if (!matches || s.words.empty()) continue;
                outcome.ignored.push_back(s.words);
                named = true;
            }
            if (!named) outcome.ignored.push_back(a.name);
        }
    }
    return outcome;
}

std::string unsupportedSettingsQuestion(const platform::StringSource& strings, const std::string& printerName,
                                        const std::vector<std::string>& settings)
{
    std::string list;
    for (const std::string& s : settings) list += fillIn(strings.load(IDS_IPP_QUESTION_ITEM), {s});
    return fillIn(strings.load(IDS_IPP_QUESTION), {printerName, list});
}

std::string ippStatusName(std::uint16_t status)
{
    static constexpr const char* kClient[] = {
        "client-error-bad-request", "client-error-forbidden", "client-error-not-authenticated",
        "client-error-not-authorized", "client-error-not-possible", "client-error-timeout",
        "client-error-not-found", "client-error-gone", "client-error-request-entity-too-large",
        "client-error-request-value-too-long", "client-error-document-format-not-supported",
        "client-error-attributes-or-values-not-supported", "client-error-uri-scheme-not-supported",
        "client-error-charset-not-supported", "client-error-conflicting-attributes",
        "client-error-compression-not-supported", "client-error-compression-error",
        "client-error-document-format-error", "client-error-document-access-error"};
    static constexpr const char* kServer[] = {
        "server-error-internal-error", "server-error-operation-not-supported", "server-error-service-unavailable",
        "server-error-version-not-supported", "server-error-device-error", "server-error-temporary-error",
        "server-error-not-accepting-jobs", "server-error-busy", "server-error-job-canceled",
        "server-error-multiple-document-jobs-not-supported"};
    static constexpr const char* kSuccess[] = {"successful-ok", "successful-ok-ignored-or-substituted-attributes",
                                               "successful-ok-conflicting-attributes"};
    if (status < std::size(kSuccess)) return kSuccess[status];
    if (status >= 0x0400 && status - 0x0400u < std::size(kClient)) return kClient[status - 0x0400];
    if (status >= 0x0500 && status - 0x0500u < std::size(kServer)) return kServer[status - 0x0500];
    return hex4(status);
}

} // namespace orvox
