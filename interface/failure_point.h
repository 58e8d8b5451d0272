#pragma once
// Named steps where a test can make the library fail: with the environment
// variable ORVOX_FAIL_AT naming the step, the step throws std::bad_alloc, as if
// memory had run out there; with the name followed by ":fault" it writes
// through a null pointer instead. Without the variable nothing happens. This is
// how the host tests reach the failure paths of building the application object
// and initialising the main window, which no real host can provoke on purpose.
namespace orvox {

// Building the application object, inside the construction of one of its members.
inline constexpr const char* kFailBuildingApplication = "application-member";
// Initialising the main window, after the document, the pages and the key hook exist.
inline constexpr const char* kFailInitialisingMainWindow = "main-window-init";

void failurePoint(const char* name);

} // namespace orvox
