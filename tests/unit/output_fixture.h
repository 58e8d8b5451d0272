#pragma once
// Platform services for the print-output tests: the shipped strings, a scratch
// folder as temporary folder, and a message sink that records what was shown.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/posix/folder_files.h"
#include "platform/posix/ini_profile.h"
#include "platform/services.h"
#include "test_support.h"

namespace orvox::test {

class MessageLog : public platform::MessageSink {
public:
    struct Shown {
        std::string text;
        unsigned type;
    };
    int show(const std::string& text, unsigned type) override
    {
        shown.push_back({text, type});
        return platform::kIdOk;
    }
    std::vector<Shown> shown;
};

class OutputServices {
public:
    OutputServices() : files(temp.folder()), services{shippedStrings(), profile, messages, files} {}

    // Files in the temporary folder: what a test leaves behind must be only
    // what it made itself.
    std::vector<std::string> tempFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(temp.folder()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    ScratchDir temp;
    ScratchDir work;
    platform::IniProfile profile;
    MessageLog messages;
    platform::FolderFileSystem files;
    platform::Services services;
};

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace orvox::test
