#include "ui/portable/help_topics.h"

namespace orvox::ui {

const HelpTopic* findHelpTopic(int context)
{
    for (const HelpTopic& topic : kHelpTopics)
        if (topic.context == context) return &topic;
    return nullptr;
}

std::string helpTopicAddress(std::string_view helpFile, const HelpTopic& topic)
{
    if (helpFile.empty()) return {};
    std::string address(helpFile);
    address += "::/";
    address += topic.file;
    return address;
}

} // namespace orvox::ui
