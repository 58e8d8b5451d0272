// The operator's guide and the table the library opens it by: every tab's
// context finds a topic, and every topic is a page of the guide's sources
// that the help project compiles and lists in its contents.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "test_support.h"
#include "ui/portable/help_topics.h"

namespace orvox::ui {
namespace {

std::string readSource(const std::string& relative)
{
    std::ifstream in(test::sourceDir() + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string titleOf(const std::string& page)
{
    const auto start = page.find("<title>");
    const auto end = page.find("</title>");
    if (start == std::string::npos || end == std::string::npos || end < start) return {};
    return page.substr(start + 7, end - start - 7);
}

TEST(HelpTopics, EveryTabContextFindsItsOwnTopic)
{
    // The contexts of the seven tabs, in tab order.
    const int contexts[] = {16, 18, 19, 54, 26, 29, 31};
    std::set<std::string> files;
    for (int context : contexts) {
        const HelpTopic* topic = findHelpTopic(context);
        ASSERT_NE(topic, nullptr) << context;
        EXPECT_EQ(topic->context, context);
        files.insert(topic->file);
    }
    EXPECT_EQ(files.size(), 7u) << "two tabs share a topic";
    EXPECT_EQ(findHelpTopic(0), nullptr);
    EXPECT_EQ(findHelpTopic(17), nullptr);
    EXPECT_EQ(findHelpTopic(-16), nullptr);
}

TEST(HelpTopics, AddressNamesTheTopicInsideTheHelpFile)
{
    const HelpTopic& printers = *findHelpTopic(16);
    EXPECT_EQ(helpTopicAddress("C:\\Program Files\\Orvox\\Orvox.chm", printers),
              "C:\\Program Files\\Orvox\\Orvox.chm::/printers.htm");
    EXPECT_EQ(helpTopicAddress("Orvox.chm", kHelpContents), "Orvox.chm::/index.htm");
    // Without a help file there is nothing to open, not a topic of no file.
    EXPECT_EQ(helpTopicAddress("", printers), "");
}

TEST(HelpTopics, EveryTopicIsAPageOfTheGuideWithTheTitleTheTableGives)
{
    const std::string project = readSource("help/Orvox.hhp");
    const std::string contents = readSource("help/Orvox.hhc");
    ASSERT_FALSE(project.empty()) << "help/Orvox.hhp not found under " << test::sourceDir();
    ASSERT_FALSE(contents.empty());
    auto check = [&](const HelpTopic& topic) {
        const std::string page = readSource(std::string("help/") + topic.file);
        ASSERT_FALSE(page.empty()) << topic.file;
        EXPECT_EQ(titleOf(page), topic.title) << topic.file;
        EXPECT_NE(page.find(std::string("<h1>") + topic.title + "</h1>"), std::string::npos) << topic.file;
        EXPECT_NE(project.find(std::string("\n") + topic.file + "\n"), std::string::npos)
            << topic.file << " is not compiled into the help file";
        EXPECT_NE(contents.find(std::string("value=\"") + topic.file + "\""), std::string::npos)
            << topic.file << " is missing from the contents";
    };
    check(kHelpContents);
    for (const HelpTopic& topic : kHelpTopics) check(topic);
    EXPECT_NE(project.find("Default topic=" + std::string(kHelpContents.file)), std::string::npos);
}

TEST(HelpTopics, TheContentsPageLinksEveryTopic)
{
    const std::string index = readSource(std::string("help/") + kHelpContents.file);
    for (const HelpTopic& topic : kHelpTopics)
        EXPECT_NE(index.find(std::string("href=\"") + topic.file + "\""), std::string::npos) << topic.file;
}

} // namespace
} // namespace orvox::ui
