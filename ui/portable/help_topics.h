#pragma once
// The operator's guide that ships beside the library (an HTML Help file): one
// topic per tab of the job-setup window, found by the tab's help context, and
// a contents page. The viewer is asked for a topic by its address inside the
// help file, "<help file>::/<topic file>".
#include <array>
#include <string>
#include <string_view>

namespace orvox::ui {

struct HelpTopic {
    int context;        // the help context of the tab
    const char* file;   // topic file inside the help file
    const char* title;  // the topic's title, as its page states it
};

// The contents page the help command opens.
inline constexpr HelpTopic kHelpContents{0, "index.htm", "Orvox Operator's Guide"};

inline constexpr std::array<HelpTopic, 7> kHelpTopics{{
    {16, "printers.htm", "Printers"},
    {18, "files.htm", "Files"},
    {19, "job_setup1.htm", "Job Setup 1"},
    {54, "job_setup2.htm", "Job Setup 2"},
    {26, "custom_options.htm", "Custom Options"},
    {29, "paper_substitutions.htm", "Paper Substitutions"},
    {31, "colour_mapping.htm", "Colour Mapping"},
}};

// The topic of a help context; null for a context the guide does not know.
const HelpTopic* findHelpTopic(int context);

// "<help file>::/<topic file>"; an empty help file gives an empty address.
std::string helpTopicAddress(std::string_view helpFile, const HelpTopic& topic);

} // namespace orvox::ui
