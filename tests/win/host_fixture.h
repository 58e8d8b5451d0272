#pragma once
// A host of Orvox.dll for tests: loads the library once, gives each test a host
// window, records what the hooks were told, and ends the library's use after
// each test so the next one starts uninitialised.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvox_binding.h"

namespace orvox::test {

struct HookLog {
    struct Box {
        std::string text;
        unsigned type;
    };
    std::vector<Box> boxes;
    std::vector<std::string> titles;
    int answer = IDOK;  // what the message hook answers in the library's place
    // When set, answers in place of `answer` (a test may look at the windows first).
    std::function<int(const std::string& text, unsigned type)> respond;
};

HookLog& hookLog();
int recordingMessageHook(const char* text, unsigned type, int* show);
void recordingTitleHook(const char* title, const char* caption, int modified);

OrvoxBinding& orvoxLibrary();

// Pumps the thread's messages until `done` or the deadline; never sleeps blindly.
template <class Pred>
bool pumpUntil(Pred done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

std::string resourceString(unsigned id);

class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // InitMain with the recording hooks, InitStatus, CreateMain and CreateStatus.
    void startAll(const char* hostVersion = "Host 1.0");

    OrvoxBinding& orvox = orvoxLibrary();
    HWND host = nullptr;
};

} // namespace orvox::test
