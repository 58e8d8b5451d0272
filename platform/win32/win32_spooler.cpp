#include "platform/win32/win32_spooler.h"

#include <windows.h>
#include <winspool.h>

#include <new>

namespace orvox::platform {

namespace {

class Win32Printer : public Printer {
public:
    explicit Win32Printer(HANDLE handle) : handle_(handle) {}
    ~Win32Printer() override { ClosePrinter(handle_); }
    Win32Printer(const Win32Printer&) = delete;
    Win32Printer& operator=(const Win32Printer&) = delete;

    bool startDocument(const std::string& documentName) override
    {
        std::string name = documentName;
        char dataType[] = "RAW";
        DOC_INFO_1A info{};
        info.pDocName = name.data();
        info.pOutputFile = nullptr;
        info.pDatatype = dataType;
        return check(StartDocPrinterA(handle_, 1, reinterpret_cast<BYTE*>(&info)) != 0);
    }
    bool startPage() override { return check(StartPagePrinter(handle_) != FALSE); }
    bool write(const char* data, std::size_t size) override
    {
        // Chunks are small; the written count is not examined, a failed call is.
        DWORD written = 0;
        return check(WritePrinter(handle_, const_cast<char*>(data), static_cast<DWORD>(size), &written) != FALSE);
    }
    bool endPage() override { return check(EndPagePrinter(handle_) != FALSE); }
    bool endDocument() override { return check(EndDocPrinter(handle_) != FALSE); }
    std::string lastErrorText() const override { return systemErrorText(lastError_); }

private:
    bool check(bool ok)
    {
        if (!ok) lastError_ = GetLastError();
        return ok;
    }

    HANDLE handle_;
    DWORD lastError_ = 0;
};

} // namespace

std::string systemErrorText(unsigned long errorCode)
{
    char* buffer = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                   reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = n != 0 && buffer ? std::string(buffer, n) : std::string();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::unique_ptr<Printer> Win32Spooler::open(const std::string& queueName, std::string* errorText)
{
    std::string name = queueName;
    HANDLE handle = nullptr;
    if (!OpenPrinterA(name.data(), &handle, nullptr)) {
        if (errorText) *errorText = systemErrorText(GetLastError());
        return nullptr;
    }
    std::unique_ptr<Printer> printer(new (std::nothrow) Win32Printer(handle));
    if (!printer) {
        ClosePrinter(handle);
        if (errorText) *errorText = systemErrorText(ERROR_NOT_ENOUGH_MEMORY);
    }
    return printer;
}

} // namespace orvox::platform
