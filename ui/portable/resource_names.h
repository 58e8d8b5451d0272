#pragma once
// The names the restriction file may use in place of numbers: printer models,
// controls, page templates and the index strings of combo items.
#include <optional>
#include <span>
#include <string_view>

namespace orvox::ui {

struct ResourceName {
    std::string_view name;
    int id;
};

// The whole table, in its fixed order (some names occur twice; the first wins).
std::span<const ResourceName> resourceNameTable();

// Exact, case-sensitive lookup from the first row.
std::optional<int> lookupResourceName(std::string_view name);

} // namespace orvox::ui
