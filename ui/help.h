#pragma once
// Opens the operator's guide, an HTML Help file, in the system's help viewer
// (hhctrl.ocx, loaded on first use so that no import library is needed and a
// system without the viewer only loses the help).
#include <windows.h>

#include <string>

namespace orvox::ui {

// Opens `helpFile` at the topic of a tab's help context; an unknown context
// opens the contents. False when there is no help file or the viewer refused.
bool showHelpTopic(HWND owner, const std::string& helpFile, int context);
// Opens `helpFile` at its contents page.
bool showHelpContents(HWND owner, const std::string& helpFile);

} // namespace orvox::ui
