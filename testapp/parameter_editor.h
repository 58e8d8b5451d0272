#pragma once
// The parameter editor: with Shift held, a button lets the tester change the
// arguments of its export before the call.
#include <windows.h>

#include <span>

namespace orvox::test {

struct Parameter {
    const char* label;
    long long value; // wide enough for the window handles and hook addresses of a 64-bit host
};

// At most four parameters. True on OK with the values taken; false on Cancel.
bool editParameters(HINSTANCE instance, HWND owner, const char* exportName, std::span<Parameter> parameters);

} // namespace orvox::test
