#pragma once
// Library-wide state: one instance per loaded library, serving one host at a time.
#include <windows.h>

#include <memory>
#include <string>

#include "Orvox.h"

namespace orvox {

class Application;
class StatusWindow;

struct LibraryState {
    HINSTANCE self = nullptr;
    HINSTANCE resources = nullptr;  // orvoxRes.dll
    std::string installationFolder; // with its trailing backslash
    OrvoMessageHook messageHook = nullptr;
    OrvoSetTitleHook setTitleHook = nullptr;
    std::unique_ptr<Application> application;
    std::unique_ptr<StatusWindow> status;
    bool printing = false;
    // Set while the paper catalog editor is open.
    bool catalogEditing = false;
};

LibraryState& library();

// Loads the resource module from the installation folder; shows the missing-file
// message and returns false when it cannot be loaded.
bool startLibrary(HINSTANCE self);
void endLibrary();

} // namespace orvox
