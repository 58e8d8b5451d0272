#pragma once
// The library's one message-box routine.
#include "platform/messages.h"

namespace orvox {

class MessageBoxRoutine : public platform::MessageSink {
public:
    // Offers the text to the host's hook; unless the hook answers, shows a box
    // owned by the main window with the application caption.
    int show(const std::string& text, unsigned type) override;
};

MessageBoxRoutine& messageBox();

} // namespace orvox
