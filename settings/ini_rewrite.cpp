#include "settings/ini_rewrite.h"

#include <fstream>
#include <iterator>

#include "platform/file_saving.h"

namespace orvox {

IniRewrite::IniRewrite(platform::FileSystem* files, std::string file)
    : files_(files), file_(std::move(file)), working_(file_)
{
}

IniRewrite::~IniRewrite()
{
    if (pending_) files_->removeFile(working_);
}

bool IniRewrite::begin()
{
    if (!files_) return true;
    std::string bytes;
    if (files_->fileExists(file_)) {
        std::ifstream in(file_, std::ios::binary);
        if (!in) return false;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) return false;
    }
    working_ = platform::pendingVersionOf(file_);
    pending_ = platform::startPendingVersion(*files_, file_, bytes);
    return pending_;
}

bool IniRewrite::commit()
{
    if (!files_) return true;
    if (!pending_) return false;
    pending_ = false;
    return platform::putPendingInPlace(*files_, file_) == platform::SaveOutcome::kSaved;
}

} // namespace orvox
