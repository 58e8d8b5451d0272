#pragma once
// Writes the job header of a print job: the job file the print run sends ahead
// of the print data. Every command word comes from the command templates; the
// builder only chooses templates, formats the settings into them and orders
// the segments.
//
// The document's design gives it a builder of its own, but settings/ knows
// nothing of printing, so the application object owns the one builder and
// hands it the document (buildJobHeader) or the parts of it (writeJobHeader).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.h"
#include "platform/messages.h"
#include "platform/strings.h"
#include "print/command_templates.h"
#include "print/header_writer.h"

namespace orvox {

class JobDocument;

class JobHeaderBuilder {
public:
    // `machine` supplies the machine string of printer model 0; without it
    // that segment is left out.
    JobHeaderBuilder(const platform::StringSource& strings, platform::MessageSink& messages,
                     const platform::MachineInfo* machine = nullptr);

    // The print run's entry: printer models other than 0 cannot take PDF, so
    // such a document is switched to PostScript first; `headerPath` receives a
    // new job-file name from `newJobFileName`. True when the header is written
    // (or, by the settings, nothing is to be written).
    bool buildJobHeader(JobDocument& doc, std::string_view dataName, std::string& headerPath, bool fromTiff,
                        const std::function<std::string()>& newJobFileName);

    // Writes the header file for `outputKind` (OutputKind). Only the file-name
    // part of `dataName` is used. Returns a HeaderResult: modifyPrintFile No
    // and printer models without templates give 0 and leave the file alone.
    std::int16_t writeJobHeader(std::string_view dataName, const std::string& headerPath,
                                const HeaderSources& sources, int outputKind);

    const CommandTemplates& templates() const { return templates_; }
    // The inserted covers of the last build.
    const std::vector<CoverInsert>& inserts() const { return inserts_; }

private:
    std::int16_t writeFull(HeaderWriter& w, std::string_view dataName, int outputKind);
    std::int16_t writeOpening(HeaderWriter& w, std::string_view dataName, int outputKind);
    std::int16_t writeFinishing(HeaderWriter& w);
    std::int16_t writeMedia(HeaderWriter& w);
    std::int16_t writeUserTexts(HeaderWriter& w);
    std::int16_t writeJobOptions(HeaderWriter& w);
    std::int16_t writeDestination(HeaderWriter& w, int outputKind);
    std::int16_t writeServerGroup(HeaderWriter& w);
    std::int16_t writeCustomPart(HeaderWriter& w, bool full);
    std::int16_t copyScript(HeaderWriter& w, const std::string& path);
    // The custom commands of a full header as lines of it, each led by a line feed.
    std::string commandLines(std::string_view text) const;
    bool isPaperReferenced(HeaderWriter& w, const std::string& name) const;
    // "(text)" with the text encoded as a header token, or "()" when it is the
    // catalog's word for any (`anyId`).
    std::string mediaText(const std::string& text, unsigned anyId) const;
    std::string mediaEntry(int n, const std::string& name, const PaperDefinition& paper) const;
    std::string machineString() const;

    const platform::StringSource& strings_;
    platform::MessageSink& messages_;
    const platform::MachineInfo* machine_;
    CommandTemplates templates_;
    std::vector<CoverInsert> inserts_;
};

} // namespace orvox
