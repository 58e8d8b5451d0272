#pragma once
// Page lists (chapter starts, the pages of a paper substitution) turned into
// header lines: normalised, rewritten into runs of page numbers or into the
// list of pages after which a sheet is inserted, and cut into segments that
// the header builder writes. The command words come from templates 129 and 130.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "print/command_templates.h"

namespace orvox {

// Commas become blanks (a run of commas one blank); then every "last" becomes
// "lastpage".
std::string normalisePageList(std::string_view text);

// Range mode appends to `out` one line per run of single-page tokens (template
// 129) and per run of at most 20 numbers of a range (template 130), ranges
// advancing by 2 with `stepTwo`; caret tokens are dropped. Caret mode replaces
// `out` with the caret list: for "^N" the number N - 1, for "N^" the number N,
// each followed by a blank. An open range "N.." has no end the header could
// count to, so it is passed on among the single pages as "N..lastpage".
// 0, or 1 when there is no memory for the work.
std::int16_t rewritePageList(std::string_view text, std::string& out, bool caretMode, bool stepTwo,
                             const CommandTemplates& templates);

// The segments in which a rewritten list is written. The text is cut before
// every line the rewriting made (one starting like a template-129 line: "\n@PJL"
// in the shipped templates); a first part that is no such line, and a text
// without one, becomes a template-129 line. No segment is longer than 255
// characters: a longer line is cut at a blank and its rest continues after
// `continuation`.
std::vector<std::string> pageListSegments(std::string_view text, const CommandTemplates& templates,
                                          std::string_view continuation);

} // namespace orvox
