#pragma once
// Reads a job file back into the settings it carries: the "@PJL SET" variables
// and the "@PJL COMMENT key=value" entries with their continuation lines, each
// value split into its fields (words and parenthesised strings, %XX decoded).
// The IPP output builds its job attributes from this reading, so a job sent
// to an IPP printer carries exactly the settings the queue path would write.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvox {

struct TicketField {
    std::string text;     // decoded
    bool quoted = false;  // written as a (string)
};

struct TicketEntry {
    std::string key;
    std::vector<TicketField> fields;
};

struct JobTicket {
    std::map<std::string, std::string> variables;  // upper-case name -> last value, quotes removed
    std::vector<TicketEntry> entries;              // in the order written
    // Job-control lines that are neither variables nor entries of ours: the
    // custom commands and script lines the user added.
    std::vector<std::string> otherLines;

    // The first entry of a key (a model writes some lines twice, alike), or null.
    const TicketEntry* first(std::string_view key) const;
    std::vector<const TicketEntry*> all(std::string_view key) const;
    // A SET variable's value, or empty.
    std::string variable(std::string_view name) const;
};

// Reads the header text of a job file. Lines that are no entries of ours
// (custom commands, other comments) are passed over.
JobTicket parseJobTicket(std::string_view header);

// Reads a job file of at most `maxBytes`; nothing, and `error` says why, when it
// cannot be read or is larger.
std::optional<JobTicket> readJobTicket(const std::string& path, std::string* error,
                                       std::size_t maxBytes = 4u << 20);

} // namespace orvox
