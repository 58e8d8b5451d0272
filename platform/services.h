#pragma once
// The platform services the portable core is handed, bundled so that a document
// or a print run takes one argument instead of four.
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/profile.h"
#include "platform/strings.h"

namespace orvox::platform {

struct Services {
    const StringSource& strings;
    Profile& profile;
    MessageSink& messages;
    FileSystem& files;
};

} // namespace orvox::platform
