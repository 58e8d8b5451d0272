#pragma once
// What may be typed into a page-list edit: digits, blanks, commas, dots and,
// where the list allows them, carets; no page number longer than five digits.
// The full syntax is checked when the list is stored.
#include <string_view>

namespace orvox::ui {

bool passesPageListFilter(std::string_view text, bool caretsAllowed);

} // namespace orvox::ui
