#include "gui_elements.h"

#include <cstdlib>
#include <memory>
#include <span>

#include "Orvox.h"
#include "testapp_ids.h"

namespace orvox::test {
namespace {

struct ControlRow {
    const char* label;
    int id;
};

constexpr ControlRow kPrinters[] = {
    {"Combo - Printer Model", 1065},
    {"ListBox - Installed printers", 1038},
    {"Button - Add network printer", 1098},
    {"CheckBox - Print to printer", 1068},
    {"CheckBox - Save as file", 1070},
    {"Edit - Save as file path", 1072},
    {"CheckBox - Use specific printer", 1071},
    {"Edit - Specific printer name", 1073},
    {"Button - Help", 2639},
};

constexpr ControlRow kFiles[] = {
    {"ListBox - Files to print", 1000},
    {"Edit - File name", 1156},
    {"Combo - File type", 1093},
    {"Combo - Printer language", 1066},
    {"Combo - Modify print file", 1083},
    {"Button - Select", 1001},
    {"Button - Select all", 1002},
    {"Button - Remove", 1003},
    {"Button - Help", 2636},
};

constexpr ControlRow kJobSetup1[] = {
    {"Edit - Number of copies", 2612},
    {"Combo - Printing mode", 1152},
    {"CheckBox - Collate", 1092},
    {"Edit - From", 1084},
    {"Edit - To", 1085},
    {"Edit - Chapter pages", 1062},
    {"CheckBox - Finish chapters separately", 1093},
    {"Combo - Body paper", 1008},
    {"Link - Paper substitutions", 1122},
    {"Combo - Exit", 1017},
    {"Combo - Stacking mode", 1018},
    {"Combo - Stapling mode", 1019},
    {"Combo - Folding mode", 1020},
    {"CheckBox - Trim edges", 1095},
    {"Combo - Front cover", 1024},
    {"Combo - Front cover paper", 1025},
    {"Combo - Back cover", 1123},
    {"Combo - Back cover paper", 1119},
    {"CheckBox - Print proof set", 1097},
    {"Edit - Proof wait time", 1064},
    {"Combo - Proof set action", 1063},
    {"Button - Help", 2638},
};

constexpr ControlRow kJobSetup2[] = {
    {"Combo - Mismatch handling", 1011},
    {"CheckBox - Free-form colour", 1094},
    {"CheckBox - Header page", 1095},
    {"Combo - Header page paper", 1013},
    {"CheckBox - Separators", 1096},
    {"Combo - Separator paper", 1014},
    {"Combo - Status page", 1005},
    {"Combo - Status page paper", 1118},
    {"Edit - Maximum signature size", 1015},
    {"Static - Signature", 1035},
    {"Edit - Operator message", 1040},
    {"Edit - Deliver to", 1041},
    {"Edit - Charge number", 1074},
    {"Edit - E-mail notification", 1075},
    {"Button - Help", 2638},
};

constexpr ControlRow kCustomOptions[] = {
    {"Edit - Custom commands", 1016},
    {"Edit - Script file", 1056},
    {"Button - Select script file", 1055},
    {"Button - Clear script file", 1057},
    {"Static - Script preview", 1089},
    {"CheckBox - Validate file", 1058},
    {"CheckBox - Remove Ctrl-D", 1120},
    {"Frame - Script file", 1091},
    {"Button - Help", 2637},
};

constexpr ControlRow kSubstitutions[] = {
    {"ListBox - Substitutions", 1009},
    {"Combo - Paper", 1036},
    {"Edit - Pages", 1031},
    {"Button - Add", 1006},
    {"Button - Modify", 1137},
    {"Button - Delete", 1007},
    {"Static - Body paper", 1033},
    {"Button - Help", 1097},
};

constexpr ControlRow kColourMapping[] = {
    {"ComboBox - Red", 1000},
    {"ComboBox - Green", 1002},
    {"ComboBox - Blue", 1003},
    {"ComboBox - Cyan", 1004},
    {"ComboBox - Magenta", 1005},
    {"ComboBox - Yellow", 1010},
    {"ComboBox - Black", 1007},
    {"ComboBox - All bitmaps", 1008},
    {"Button - Reset", 1001},
    {"Button - Help", 1121},
};

struct TabRows {
    const char* name;
    int tabId;
    std::span<const ControlRow> rows;
};

// In tab order, as the Enabled Pages boxes.
const TabRows kTabs[] = {
    {"Printers", ORVO_TAB_PRINTERS, kPrinters},
    {"Files", ORVO_TAB_FILES, kFiles},
    {"Job Setup 1", ORVO_TAB_JOB_SETUP_1, kJobSetup1},
    {"Job Setup 2", ORVO_TAB_JOB_SETUP_2, kJobSetup2},
    {"Custom Options", ORVO_TAB_CUSTOM, kCustomOptions},
    {"Paper Substitutions", ORVO_TAB_SUBSTITUTIONS, kSubstitutions},
    {"Colour Mapping", ORVO_TAB_COLOUR, kColourMapping},
};

struct DialogState {
    ShowGuiElementAction action;
};

int selectedTab(HWND dialog)
{
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_GUI_TAB, CB_GETCURSEL, 0, 0);
    return index < 0 || index >= static_cast<LRESULT>(std::size(kTabs)) ? 0 : static_cast<int>(index);
}

void fillLabels(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_GUI_LABEL, CB_RESETCONTENT, 0, 0);
    for (const ControlRow& row : kTabs[selectedTab(dialog)].rows)
        SendDlgItemMessageA(dialog, IDC_GUI_LABEL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.label));
    SendDlgItemMessageA(dialog, IDC_GUI_LABEL, CB_SETCURSEL, 0, 0);
}

void showSelectedId(HWND dialog)
{
    const auto rows = kTabs[selectedTab(dialog)].rows;
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_GUI_LABEL, CB_GETCURSEL, 0, 0);
    if (index >= 0 && index < static_cast<LRESULT>(rows.size()))
        SetDlgItemInt(dialog, IDC_GUI_ID, static_cast<UINT>(rows[static_cast<std::size_t>(index)].id), FALSE);
}

void apply(HWND dialog, DialogState& state, int show)
{
    char text[32] = {};
    GetDlgItemTextA(dialog, IDC_GUI_ID, text, sizeof text);
    char* end = nullptr;
    const long id = std::strtol(text, &end, 10);
    if (end == text || *end != '\0') {
        MessageBoxA(dialog, "Invalid ID of GUI element at edit box", "Enable/Disable GUI Controls",
                    MB_OK | MB_ICONSTOP);
        return;
    }
    state.action(kTabs[selectedTab(dialog)].tabId, static_cast<int>(id), show);
}

INT_PTR CALLBACK guiElementProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        for (const TabRows& tab : kTabs)
            SendDlgItemMessageA(dialog, IDC_GUI_TAB, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(tab.name));
        SendDlgItemMessageA(dialog, IDC_GUI_TAB, CB_SETCURSEL, 0, 0);
        fillLabels(dialog);
        showSelectedId(dialog);
        return TRUE;
    case WM_COMMAND:
        if (!state) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_GUI_TAB:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                fillLabels(dialog);
                showSelectedId(dialog);
            }
            return TRUE;
        case IDC_GUI_LABEL:
            if (HIWORD(wParam) == CBN_SELCHANGE) showSelectedId(dialog);
            return TRUE;
        case IDC_GUI_SHOW: apply(dialog, *state, 1); return TRUE;
        case IDC_GUI_HIDE: apply(dialog, *state, 0); return TRUE;
        case IDCANCEL: DestroyWindow(dialog); return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE: DestroyWindow(dialog); return TRUE;
    case WM_NCDESTROY:
        delete state;
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        return FALSE;
    default: return FALSE;
    }
}

} // namespace

HWND createGuiElementDialog(HINSTANCE instance, HWND owner, ShowGuiElementAction action)
{
    auto state = std::make_unique<DialogState>(DialogState{std::move(action)});
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_GUI_ELEMENTS), owner, guiElementProc,
                                     reinterpret_cast<LPARAM>(state.get()));
    // On success the dialog owns the state and frees it when it is destroyed.
    if (dialog) state.release();
    return dialog;
}

} // namespace orvox::test
