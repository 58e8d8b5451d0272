#pragma once
// A job document over a catalog file of the test's own, with recording fakes
// for the messages, the user interface and the host's title.
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/posix/ini_profile.h"
#include "platform/posix/folder_files.h"
#include "platform/services.h"
#include "platform/ui_state.h"
#include "resource.h"
#include "settings/job_document.h"
#include "test_support.h"

namespace orvox::test {

struct RecordedMessage {
    std::string text;
    unsigned type;
};

class RecordingMessages : public platform::MessageSink {
public:
    int show(const std::string& text, unsigned type) override
    {
        shown.push_back({text, type});
        return answer;
    }
    bool anyContains(const std::string& part) const
    {
        for (const auto& m : shown) {
            if (m.text.find(part) != std::string::npos) return true;
        }
        return false;
    }
    std::vector<RecordedMessage> shown;
    int answer = platform::kIdOk;
};

class FakeUi : public platform::UiState {
public:
    void setTabEnabled(int tabId, bool enabled) override { tabs[tabId] = enabled; }
    void setControlEnabled(int controlId, bool enabled) override { controls[controlId] = enabled; }
    std::optional<int> printerModelCount() const override { return models; }
    void refreshPages() override { ++refreshes; }
    // Following the model ends with the pages reloaded.
    void followPrinterModel() override
    {
        ++modelsFollowed;
        ++refreshes;
    }
    bool validatePages() override { return pagesValid; }
    bool isControlEnabled(int controlId) const override
    {
        const auto it = controls.find(controlId);
        return it == controls.end() || it->second;
    }
    bool isTabAvailable(int tabId) const override
    {
        const auto it = tabs.find(tabId);
        return it == tabs.end() || it->second;
    }

    std::map<int, bool> tabs;
    std::map<int, bool> controls;
    std::optional<int> models;
    int refreshes = 0;
    int modelsFollowed = 0;
    bool pagesValid = true;
};

class RecordingListener : public DocumentStateListener {
public:
    void documentStateChanged(const std::string& title, const std::string& caption, bool modified) override
    {
        calls.push_back({title, caption, modified});
    }
    struct Call {
        std::string title;
        std::string caption;
        bool modified;
    };
    std::vector<Call> calls;
};

// A catalog of `papers` entries: entry 1 is the body slot "Body", then papers
// "Paper 2" .. "Paper n"; paper 4 (when present) is one-sided.
inline void writeCatalogFile(const std::string& path, int papers, int bodyIndex = 2)
{
    const auto& s = shippedStrings();
    std::ofstream out(path);
    auto list = [&](unsigned sectionId, std::initializer_list<const char*> entries) {
        const std::string section = s.load(sectionId);
        out << "[" << section << "]\n";
        out << "Num" << section << "=" << entries.size() << "\n";
        int i = 0;
        for (const char* e : entries) out << section.substr(0, section.size() - 1) << i++ << "=" << e << "\n";
    };
    list(IDS_CATALOG_SIZE_SECTION, {"A4", "A3", "Letter"});
    list(IDS_CATALOG_COLOR_SECTION, {"White", "Blue", "Yellow"});
    list(IDS_CATALOG_WEIGHT_SECTION, {"80 g", "120 g"});
    list(IDS_CATALOG_MEDIA_TYPE_SECTION, {"Plain", "Cover"});
    out << "[" << s.load(IDS_CATALOG_PAPER_SECTION) << "]\n";
    out << s.load(IDS_CATALOG_COUNT_KEY) << "=" << papers << "\n";
    out << s.load(IDS_CATALOG_BODY_PAPER_KEY) << "=" << bodyIndex << "\n";
    for (int i = 0; i < papers; ++i) {
        const std::string name = i == 0 ? "Body" : "Paper " + std::to_string(i + 1);
        out << "PaperDef" << i << "=" << name << "," << (i % 3) << ",Blue,120 g,Plain," << (i == 3 ? 1 : 0) << "\n";
    }
}

class DocumentTest : public ::testing::Test {
protected:
    explicit DocumentTest(int papers = 6) { writeCatalogFile(dir.file(catalogName()), papers); }

    static std::string catalogName() { return shippedStrings().load(IDS_CATALOG_FILE_NAME); }

    // The document is made on first use, so a test can change the files first.
    JobDocument& doc()
    {
        if (!doc_) {
            doc_ = std::make_unique<JobDocument>(services, dir.folder());
            doc_->setListener(&listener);
            doc_->setApplicationTitle("Orvox Test");
        }
        return *doc_;
    }
    void rebuild() { doc_.reset(); }

    ScratchDir dir;
    platform::IniProfile profile;
    RecordingMessages messages;
    platform::FolderFileSystem files{dir.folder(), dir.folder()};
    platform::Services services{shippedStrings(), profile, messages, files};
    RecordingListener listener;
    FakeUi ui;

private:
    std::unique_ptr<JobDocument> doc_;
};

} // namespace orvox::test
