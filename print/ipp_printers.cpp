#include "print/ipp_printers.h"

#include <fstream>
#include <iterator>

#include "print/ipp_client.h"
#include "print/pdf_batch.h"
#include "resource.h"

namespace orvox {
namespace {

// A configuration file is a few kilobytes; one read past this is not one.
constexpr std::size_t kMaxConfigFile = 1u << 20;

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The value as the profile functions give it: one pair of surrounding quotes removed.
std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

const IppPrinter* findIppPrinter(const std::vector<IppPrinter>& printers, std::string_view name)
{
    for (const IppPrinter& printer : printers)
        if (equalNoCase(printer.name, name)) return &printer;
    return nullptr;
}

IppPrinterList parseIppPrinters(std::string_view text, const platform::StringSource& strings)
{
    IppPrinterList list;
    const std::string section = strings.load(IDS_IPP_PRINTERS_SECTION);
    auto reject = [&](int lineNumber, std::string_view line, const std::string& why) {
        if (list.rejected.empty()) list.rejected = strings.load(IDS_IPP_PRINTERS_REJECTED);
        list.rejected +=
            fillTemplate(strings.load(IDS_IPP_PRINTER_BAD_LINE), {std::to_string(lineNumber), std::string(line), why});
    };

    bool inSection = false;
    int lineNumber = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end == std::string_view::npos ? text.size() : end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = trimmed(line);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            inSection = close != std::string_view::npos && equalNoCase(trimmed(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;

        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            reject(lineNumber, line, strings.load(IDS_IPP_PRINTER_NOT_AN_ENTRY));
            continue;
        }
        const std::string_view name = trimmed(line.substr(0, equals));
        const std::string_view uri = unquoted(trimmed(line.substr(equals + 1)));
        if (name.empty()) {
            reject(lineNumber, line, strings.load(IDS_IPP_PRINTER_NO_NAME));
            continue;
        }
        // Two printers of one name could not be told apart by a settings
        // file or an XML text: the first one counts.
        if (findIppPrinter(list.printers, name)) {
            reject(lineNumber, line, strings.load(IDS_IPP_PRINTER_SAME_NAME));
            continue;
        }
        std::string why;
        if (!ipp::parsePrinterUri(uri, &why)) {
            reject(lineNumber, line, fillTemplate(strings.load(IDS_IPP_PRINTER_BAD_ADDRESS), {why}));
            continue;
        }
        list.printers.push_back({std::string(name), std::string(uri)});
    }
    return list;
}

IppPrinterList readIppPrinters(const std::string& configFile, const platform::StringSource& strings)
{
    std::ifstream in(configFile, std::ios::binary);
    if (!in) return {};
    std::string text;
    text.resize(kMaxConfigFile);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return parseIppPrinters(text, strings);
}

} // namespace orvox
