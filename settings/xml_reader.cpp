#include "settings/xml_reader.h"

#include <algorithm>
#include <climits>
#include <exception>

namespace orvox {

namespace {

bool isWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Upper case by the byte values of plain ASCII only, so the result does not
// depend on the locale of the process.
char toUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

constexpr int kLargestNumber = 32767;

} // namespace

XmlReader::XmlReader(const XmlVocabulary& vocabulary, std::string_view text) : vocabulary_(vocabulary)
{
    text = text.substr(0, text.find('\0'));
    try {
        text_.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) text_[i] = toUpper(text[i]);
    } catch (const std::exception&) {
        fail(kXmlReadError);
    }
}

XmlReader::XmlReader(const XmlVocabulary& vocabulary, const char* text)
    : XmlReader(vocabulary, text ? std::string_view(text) : std::string_view())
{
    if (!text) fail(kXmlReadError);
}

bool XmlReader::fail(int kind)
{
    if (ok_) {
        ok_ = false;
        errorKind_ = kind;
    }
    return false;
}

bool XmlReader::failAt(int kind, int line)
{
    if (ok_) line_ = line;
    return fail(kind);
}

void XmlReader::skipWhitespace()
{
    while (pos_ < text_.size() && isWhitespace(text_[pos_])) {
        if (text_[pos_] == '\n' && line_ < INT_MAX) ++line_;
        ++pos_;
    }
}

bool XmlReader::parse()
{
    if (!ok_) return false;
    try {
        if (text_.empty()) return fail(kXmlReadError);
        pos_ = 0;
        nodes_.clear();
        line_ = 1;
        // Elements whose end tag is still awaited, innermost last.
        std::vector<int> open;
        if (!parseElement(open)) return false;
        while (!open.empty()) {
            skipWhitespace();
            if (atEndTag(nodes_[open.back()].tag)) {
                pos_ += vocabulary_.tagNames[nodes_[open.back()].tag].size() + 3;
                open.pop_back();
            } else if (!parseElement(open)) {
                return false;
            }
        }
        skipWhitespace();
        if (pos_ != text_.size()) return fail(kXmlSyntaxError);
        return true;
    } catch (const std::exception&) {
        nodes_.clear();
        return fail(kXmlUnknownError);
    }
}

bool XmlReader::atEndTag(int tag) const
{
    const std::string_view rest = std::string_view(text_).substr(pos_);
    const std::string_view name = vocabulary_.tagNames[tag];
    return rest.size() >= name.size() + 3 && rest.starts_with("</") && rest.substr(2).starts_with(name) &&
           rest[name.size() + 2] == '>';
}

// One start tag and the element's text; the node joins the tree and waits for
// its children and end tag on `open`.
bool XmlReader::parseElement(std::vector<int>& open)
{
    skipWhitespace();
    const int elementLine = line_;
    if (pos_ >= text_.size() || text_[pos_] != '<') return fail(kXmlSyntaxError);
    const std::size_t nameStart = pos_ + 1;
    std::size_t nameEnd = nameStart;
    for (; nameEnd < text_.size() && text_[nameEnd] != '>'; ++nameEnd) {
        const char c = text_[nameEnd];
        if (isWhitespace(c) || c == '/' || c == '<') return fail(kXmlSyntaxError);
    }
    if (nameEnd >= text_.size()) return fail(kXmlSyntaxError);
    const std::string_view name(text_.data() + nameStart, nameEnd - nameStart);
    pos_ = nameEnd + 1;
    skipWhitespace();

    const std::size_t textStart = pos_;
    for (; pos_ < text_.size() && text_[pos_] != '<'; ++pos_) {
        if (text_[pos_] == '>') return fail(kXmlSyntaxError);
        if (text_[pos_] == '\n' && line_ < INT_MAX) ++line_;
    }
    if (pos_ >= text_.size()) return fail(kXmlSyntaxError);
    std::size_t textEnd = pos_;
    while (textEnd > textStart && isWhitespace(text_[textEnd - 1])) --textEnd;
    const std::string_view text(text_.data() + textStart, textEnd - textStart);

    const int tag = lookupTag(name);
    if (tag < 0) return failAt(kXmlUnknownTag, elementLine);
    XmlNode node;
    node.tag = tag;
    node.line = elementLine;
    if (!valueOf(vocabulary_.kinds[tag], text, node.value)) return failAt(kXmlIllegalValue, elementLine);
    if (node.value == -1) node.text = text;

    const int index = static_cast<int>(nodes_.size());
    if (!open.empty()) nodes_[open.back()].children.push_back(index);
    nodes_.push_back(std::move(node));
    open.push_back(index);
    return true;
}

int XmlReader::lookupTag(std::string_view name) const
{
    // A tag must also have a kind and a model entry to be usable.
    const std::size_t usable = std::min({vocabulary_.tagNames.size(), vocabulary_.kinds.size(),
                                         vocabulary_.modelStart.size()});
    for (std::size_t tag = 0; tag < usable; ++tag) {
        if (vocabulary_.tagNames[tag] == name) return static_cast<int>(tag);
    }
    return -1;
}

bool XmlReader::valueOf(int kind, std::string_view text, int& value) const
{
    switch (kind) {
    case kXmlString:
        value = -1;
        return !text.empty();
    case kXmlContainer:
        value = 0;
        return text.empty();
    case kXmlNumber: {
        // Exactly as "%d" writes it: digits only, no leading zero, no sign.
        if (text.empty() || text.size() > 5 || (text[0] == '0' && text.size() > 1)) return false;
        int n = 0;
        for (char c : text) {
            if (c < '0' || c > '9') return false;
            n = n * 10 + (c - '0');
        }
        if (n > kLargestNumber) return false;
        value = n;
        return true;
    }
    default:
        break;
    }
    const auto& keywords = vocabulary_.keywords;
    if (kind < kXmlFirstKeywordKind || static_cast<std::size_t>(kind) >= keywords.size() ||
        !keywords[kind].groupStart) {
        return false;
    }
    for (std::size_t i = kind; i < keywords.size() && (i == static_cast<std::size_t>(kind) || !keywords[i].groupStart);
         ++i) {
        if (!keywords[i].keyword.empty() && keywords[i].keyword == text) {
            value = keywords[i].value;
            return true;
        }
    }
    return false;
}

int XmlReader::modelTag(std::size_t index) const
{
    // Outside the table counts as a fault of the table, not of the input.
    return index < vocabulary_.modelTags.size() && index < vocabulary_.modelNext.size() ? vocabulary_.modelTags[index]
                                                                                       : INT_MIN;
}

bool XmlReader::checkStructure()
{
    if (!ok_) return false;
    try {
        line_ = 1;
        if (nodes_.empty() || nodes_[0].tag != 0) return fail(kXmlIllegalOrder);

        // One frame per element being matched: its model position `i`, the next
        // child to match `c`, and `s`, where `c` returns to when an alternative
        // fails. A child that fits is checked before its parent goes on.
        struct Frame {
            int node;
            std::size_t i;
            std::size_t c = 0;
            std::size_t s = 0;
            std::size_t steps = 0;
        };
        std::vector<Frame> frames;
        // False when the node may have no children but has some.
        auto enter = [&](int index) {
            const XmlNode& node = nodes_[index];
            const int start = vocabulary_.modelStart[node.tag];
            if (start == 0) {
                if (node.children.empty()) return true;
                return failAt(kXmlIllegalOrder, nodes_[node.children.front()].line);
            }
            frames.push_back({index, static_cast<std::size_t>(start)});
            return true;
        };
        if (!enter(0)) return false;

        while (!frames.empty()) {
            Frame& f = frames.back();
            const XmlNode& node = nodes_[f.node];
            // Between two completed alternatives the position only moves forward;
            // a model that loops without consuming children is a fault of the table.
            if (++f.steps > (node.children.size() + 2) * (vocabulary_.modelTags.size() + 1)) {
                return failAt(kXmlUnknownError, node.line);
            }
            const int x = modelTag(f.i);
            const bool childLeft = f.c < node.children.size();
            auto abandon = [&] {
                std::size_t j = f.i;
                while (j < vocabulary_.modelTags.size() && modelTag(j) != 0 && modelTag(j) != kModelEnd) ++j;
                if (modelTag(j) == 0) {
                    f.c = f.s;
                    ++j;
                }
                f.i = j;
            };
            if (x > 0) {
                if (childLeft && nodes_[node.children[f.c]].tag == x) {
                    const int child = node.children[f.c];
                    ++f.c;
                    ++f.i;
                    if (!enter(child)) return false;  // `f` is not used after this
                } else {
                    abandon();
                }
            } else if (x == 0) {
                const int next = vocabulary_.modelNext[f.i];
                if (next == 0) {
                    if (childLeft) return failAt(kXmlIllegalOrder, node.line);
                    frames.pop_back();
                } else {
                    f.s = f.c;
                    f.i = static_cast<std::size_t>(next);
                }
            } else if (x == kModelMayStop) {
                if (childLeft) {
                    abandon();
                } else {
                    ++f.i;
                }
            } else if (x == kModelEnd) {
                return failAt(kXmlIllegalOrder, node.line);
            } else {
                return failAt(kXmlUnknownError, node.line);
            }
        }
        return true;
    } catch (const std::exception&) {
        return fail(kXmlUnknownError);
    }
}

} // namespace orvox
