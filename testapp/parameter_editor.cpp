#include "parameter_editor.h"

#include <cstdio>
#include <cstdlib>

#include "testapp_ids.h"

namespace orvox::test {
namespace {

constexpr int kRows = 4;

struct EditorState {
    const char* exportName;
    std::span<Parameter> parameters;
};

INT_PTR CALLBACK editorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<EditorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<EditorState*>(lParam);
        SetWindowTextA(dialog, state->exportName);
        for (int row = 0; row < kRows; ++row) {
            const bool used = row < static_cast<int>(state->parameters.size());
            HWND label = GetDlgItem(dialog, IDC_PARAM_LABEL_FIRST + row);
            HWND edit = GetDlgItem(dialog, IDC_PARAM_EDIT_FIRST + row);
            ShowWindow(label, used ? SW_SHOW : SW_HIDE);
            ShowWindow(edit, used ? SW_SHOW : SW_HIDE);
            if (!used) continue;
            const Parameter& p = state->parameters[static_cast<std::size_t>(row)];
            char value[32];
            std::snprintf(value, sizeof value, "%lld", p.value);
            SetWindowTextA(label, p.label);
            SetWindowTextA(edit, value);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && state) {
            for (std::size_t row = 0; row < state->parameters.size(); ++row) {
                char value[32] = {};
                GetDlgItemTextA(dialog, IDC_PARAM_EDIT_FIRST + static_cast<int>(row), value, sizeof value);
                state->parameters[row].value = std::atoll(value);
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

} // namespace

bool editParameters(HINSTANCE instance, HWND owner, const char* exportName, std::span<Parameter> parameters)
{
    if (parameters.size() > kRows) parameters = parameters.first(kRows);
    EditorState state{exportName, parameters};
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PARAMETER_EDITOR), owner, editorProc,
                           reinterpret_cast<LPARAM>(&state)) == IDOK;
}

} // namespace orvox::test
