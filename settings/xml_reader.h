#pragma once
// A small reader for the restricted XML that hosts hand us as job settings:
// elements with text and child elements, nothing else (no attributes,
// declarations, comments or entities). It builds a tree whose every text has
// been checked against its tag's value kind, checks the nesting against a
// table-driven content model, and reports the first error as a result code and
// a line. What the tags mean is the business of the vocabulary it is given.
//
// The reader works iteratively with its own stacks and keeps the nodes in one
// flat list, so no input can exhaust the call stack, and it never looks past
// the end of its copy of the input.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvox {

// Result codes of a failed read, as the import export returns them.
inline constexpr int kXmlReadError = 38;     // no text, or an empty one
inline constexpr int kXmlSyntaxError = 39;   // missing or unexpected character
inline constexpr int kXmlUnknownTag = 40;
inline constexpr int kXmlIllegalValue = 41;
inline constexpr int kXmlIllegalOrder = 42;
inline constexpr int kXmlUnknownError = 43;

// Value kinds of a tag; kinds from kXmlFirstKeywordKind on name the keyword
// group that starts at that entry of the keyword table.
inline constexpr int kXmlString = 0;     // any non-empty text; node value -1
inline constexpr int kXmlContainer = 1;  // no text; node value 0
inline constexpr int kXmlNumber = 2;     // 0..32767 written plainly ("%d")
inline constexpr int kXmlFirstKeywordKind = 3;

// Marks in the content-model table.
inline constexpr int kModelEnd = -1;        // no alternative fits
inline constexpr int kModelMayStop = -3;    // the children may end here

struct XmlKeyword {
    int value;
    std::string_view keyword;  // upper case; empty entries never match
    bool groupStart;
};

// The language the reader checks against. Tag numbers index `tagNames`,
// `kinds` and `modelStart`; `modelNext[i]` is used where `modelTags[i]` is 0.
struct XmlVocabulary {
    std::span<const std::string_view> tagNames;
    std::span<const int> kinds;
    std::span<const XmlKeyword> keywords;
    std::span<const int> modelTags;
    std::span<const int> modelNext;
    std::span<const int> modelStart;  // 0: the element has no children
};

struct XmlNode {
    int tag = 0;
    int value = 0;
    int line = 0;          // line of the start tag
    std::string text;      // only for string values
    std::vector<int> children;  // positions in the reader's node list, in document order
};

class XmlReader {
public:
    // The text is copied and upper-cased, so tag names, keywords and every
    // string value are upper case from then on. A NUL ends the text, as it
    // ends the host's C string.
    XmlReader(const XmlVocabulary& vocabulary, std::string_view text);
    // A null text is a text that could not be read: code 38, line 0.
    XmlReader(const XmlVocabulary& vocabulary, const char* text);

    // Builds the tree; false at the first error.
    bool parse();
    // Checks the tree against the content model; false at the first error.
    bool checkStructure();

    // 0 while no error occurred, else the result code of the first one.
    int errorCode() const { return ok_ ? 0 : errorKind_; }
    // -1 while no error occurred, else the line of the first one.
    int errorLine() const { return ok_ ? -1 : line_; }

    // Every element, the root first, in the order of the start tags (each
    // node before its children). Empty until a parse succeeded.
    const std::vector<XmlNode>& nodes() const { return nodes_; }

private:
    bool fail(int kind);
    bool failAt(int kind, int line);
    void skipWhitespace();
    bool parseElement(std::vector<int>& open);
    bool atEndTag(int tag) const;
    // The node value for `text` under `kind`, or false when it does not fit.
    bool valueOf(int kind, std::string_view text, int& value) const;
    int lookupTag(std::string_view name) const;
    int modelTag(std::size_t index) const;

    const XmlVocabulary& vocabulary_;
    std::string text_;
    std::size_t pos_ = 0;
    bool ok_ = true;
    int errorKind_ = 0;
    int line_ = 0;
    std::vector<XmlNode> nodes_;
};

} // namespace orvox
