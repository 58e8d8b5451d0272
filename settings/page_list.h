#pragma once
// The page-list syntax of chapter pages and paper substitutions: page numbers,
// closed and open ranges, caret marks and the keyword "last", separated by
// blanks and commas.
#include <string>

namespace orvox {

// The kinds of fault, numbered as the callers report them.
enum PageListError : int {
    kPageListOk = 0,
    kPageListNotANumber = 4,      // a token that starts with neither a digit, a dot nor a keyword
    kPageListBadLastKeyword = 6,  // starts like "last" but is not it
    kPageListBadCaret = 7,        // a caret mark without a non-zero page number
    kPageListBadOpenRange = 8,    // "..n" or "n.." with something other than digits
    kPageListBadPageOrRange = 9,  // page 0, a page number too long, or a malformed closed range
};

// Checks `text` token by token and returns the fault of the first bad token, or
// kPageListOk. A valid "last" in any letter case is rewritten in lower case.
// Carets mark pages (before or after the number) only where `caretsAllowed`.
int validatePageList(std::string& text, bool noLastKeyword, bool caretsAllowed);

} // namespace orvox
