#include "ui/help.h"

#include <htmlhelp.h>

#include "ui/portable/help_topics.h"

namespace orvox::ui {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The viewer stays loaded for the life of the process: its windows run on its code.
HtmlHelpFunction viewer()
{
    static HMODULE module = nullptr;
    static HtmlHelpFunction function = nullptr;
    if (!module) {
        module = LoadLibraryA("hhctrl.ocx");
        if (module)
            function =
                reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")));
    }
    return function;
}

bool open(HWND owner, const std::string& helpFile, const HelpTopic& topic, UINT command)
{
    const std::string address = helpTopicAddress(helpFile, topic);
    if (address.empty()) return false;
    HtmlHelpFunction htmlHelp = viewer();
    if (!htmlHelp) return false;
    // The help window belongs to the host's top-level window, not to the page.
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    return htmlHelp(top, address.c_str(), command, 0) != nullptr;
}

} // namespace

bool showHelpTopic(HWND owner, const std::string& helpFile, int context)
{
    const HelpTopic* topic = findHelpTopic(context);
    if (!topic) return showHelpContents(owner, helpFile);
    return open(owner, helpFile, *topic, HH_DISPLAY_TOPIC);
}

bool showHelpContents(HWND owner, const std::string& helpFile)
{
    return open(owner, helpFile, kHelpContents, HH_DISPLAY_TOC);
}

} // namespace orvox::ui
