#pragma once
// Job settings from an XML text: the vocabulary of the job (tags, keywords,
// nesting) and applying a checked text on top of the current document. Nothing
// is reset first: what the text does not name stays as it was, and files and
// paper substitutions are added to those already there; a "FILES_TO_PRINT"
// that starts with <REPLACE_FILES>ON</REPLACE_FILES> empties the list of files
// to print before its own files are added.
#include <string_view>

#include "platform/xml_targets.h"
#include "settings/xml_reader.h"

namespace orvox {

class JobDocument;

// The tags, value kinds, keywords and content models of a job settings text.
const XmlVocabulary& jobSettingsVocabulary();

// Reads, checks and applies `xml`. Returns 0 with `errorLine` 0, or the
// reader's code (38..43) with the line of the error; in that case nothing has
// been applied. The one failure after application began is a substitution
// list that is already full: 43 with the line of that "PAPER", the elements
// before it applied. `targets` may be null (no pages: files and printer names
// are dropped). On success the pages are refreshed from the document.
int importXmlSettings(JobDocument& doc, std::string_view xml, int& errorLine, platform::XmlTargets* targets);
// The host's C string; null is a text that could not be read (38, line 0).
int importXmlSettings(JobDocument& doc, const char* xml, int& errorLine, platform::XmlTargets* targets);

} // namespace orvox
