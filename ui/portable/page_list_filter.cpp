#include "ui/portable/page_list_filter.h"

namespace orvox::ui {

bool passesPageListFilter(std::string_view text, bool caretsAllowed)
{
    constexpr int kMaxDigits = 5;
    int run = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (++run > kMaxDigits) return false;
            continue;
        }
        run = 0;
        if (c == ' ' || c == ',' || c == '.') continue;
        if (c == '^' && caretsAllowed) continue;
        return false;
    }
    return true;
}

} // namespace orvox::ui
