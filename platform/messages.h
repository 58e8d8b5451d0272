#pragma once
// The library's one message-box routine: the host's hook is asked first,
// then a real box with the branding caption is shown.
#include <string>

namespace orvox::platform {

// Message-box types and answers with the values the host sees.
enum : unsigned {
    kMbOk = 0x0, kMbOkCancel = 0x1, kMbYesNoCancel = 0x3, kMbYesNo = 0x4,
    kMbIconStop = 0x10, kMbIconQuestion = 0x20, kMbIconExclamation = 0x30, kMbIconInformation = 0x40,
};
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual int show(const std::string& text, unsigned type) = 0;
};

} // namespace orvox::platform
