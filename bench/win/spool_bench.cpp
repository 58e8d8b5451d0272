// Sends one print file to a printer queue through winspool, either as the
// library's print output does (the job file, the header probe and the
// spooler output's 2048-byte reads, gathered into writes of up to 64 KiB) or
// as a bare winspool program does
// (the file alone in 64 KiB writes). bench/run.py times both processes beside
// `lp -o raw` sending the same file to the same CUPS queue.
//   orvox_bench_spool orvox QUEUE DATA_FILE JOB_FILE
//   orvox_bench_spool bare  QUEUE DATA_FILE      (bare2k: the same in 2048-byte writes)
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/services.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_spooler.h"
#include "print/spooler_output.h"

namespace {

using namespace orvox;

class StderrMessages : public platform::MessageSink {
public:
    int show(const std::string& text, unsigned) override
    {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return platform::kIdOk;
    }
};

int sendAsLibrary(const std::string& queue, const std::string& data, const std::string& job)
{
    HMODULE resources = LoadLibraryA("orvoxRes.dll");
    if (!resources) {
        std::fprintf(stderr, "orvoxRes.dll not found beside the program\n");
        return 2;
    }
    platform::setCurrentResourceHandle(resources);
    platform::Win32Strings strings;
    platform::Win32Profile profile;
    StderrMessages messages;
    platform::Win32FileSystem files;
    const platform::Services services{strings, profile, messages, files};
    platform::Win32Spooler spooler;
    std::string error;
    auto printer = spooler.open(queue, &error);
    if (!printer) {
        std::fprintf(stderr, "cannot open %s: %s\n", queue.c_str(), error.c_str());
        return 1;
    }
    const bool sent = SpoolerOutput(services, "ovx").send(job, data, *printer, 0);
    printer.reset();
    platform::setCurrentResourceHandle(nullptr);
    FreeLibrary(resources);
    return sent ? 0 : 1;
}

int sendBare(const std::string& queue, const std::string& data, std::size_t chunk)
{
    std::string name = queue;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(name.data(), &printer, nullptr)) return 1;
    char docName[] = "bare";
    char dataType[] = "RAW";
    DOC_INFO_1A info{docName, nullptr, dataType};
    bool ok = StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&info)) != 0 && StartPagePrinter(printer);
    HANDLE file = CreateFileA(data.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ok = ok && file != INVALID_HANDLE_VALUE;
    std::vector<char> buffer(chunk);
    DWORD got = 0;
    while (ok && ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
        DWORD written = 0;
        ok = WritePrinter(printer, buffer.data(), got, &written) != FALSE;
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    ok = EndPagePrinter(printer) && ok;
    ok = EndDocPrinter(printer) && ok;
    ClosePrinter(printer);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    const DWORD start = GetTickCount();
    int result = 2;
    if (mode == "orvox" && argc == 5) result = sendAsLibrary(argv[2], argv[3], argv[4]);
    else if (mode == "bare" && argc == 4) result = sendBare(argv[2], argv[3], 64 * 1024);
    // The bare writer in the spooler output's chunk size: what the chunks alone cost.
    else if (mode == "bare2k" && argc == 4) result = sendBare(argv[2], argv[3], 2048);
    else std::fprintf(stderr, "usage: %s orvox QUEUE DATA JOB | bare QUEUE DATA\n", argv[0]);
    if (result != 2) std::printf("result=%d seconds=%.3f\n", result, (GetTickCount() - start) / 1000.0);
    return result;
}
