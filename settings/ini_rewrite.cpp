#include "settings/ini_rewrite.h"

#include <fstream>
#include <iterator>

namespace orvox {

namespace {
// Beside the file, so that the final move never crosses a volume.
constexpr const char* kCopySuffix = ".new";
} // namespace

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
    working_ = file_ + kCopySuffix;
    // A copy left by an interrupted earlier run is stale.
    if (files_->fileExists(working_)) files_->removeFile(working_);
    std::ofstream out(working_, std::ios::binary | std::ios::trunc);
    pending_ = static_cast<bool>(out);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool IniRewrite::commit()
{
    if (!files_) return true;
    if (!pending_) return false;
    if (!files_->replaceFile(working_, file_)) return false;
    pending_ = false;
    return true;
}

} // namespace orvox
