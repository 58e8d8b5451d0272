// Sends one print file to an IPP printer as a print run does: one
// Get-Printer-Attributes, then one Print-Job with the job file's settings and
// the file read in pieces. Timed as a whole process by bench/run.py beside
// ipptool sending the same file to the same printer.
//   orvox_bench_ipp PRINTER_URI JOB_FILE PRINT_FILE SCRATCH
#include <cstdio>

#include "bench_support.h"
#include "platform/posix/socket_network.h"
#include "print/ipp_output.h"

int main(int argc, char** argv)
{
    using namespace orvox;
    if (argc != 5) {
        std::fprintf(stderr, "usage: orvox_bench_ipp PRINTER_URI JOB_FILE PRINT_FILE SCRATCH\n");
        return 2;
    }
    bench::BenchServices services(argv[4]);
    platform::SocketNetwork network;
    IppOutput output(services.services, network, {"bench", argv[1]});
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    if (!output.queryPrinter(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const IppJobOutcome out = output.send(argv[2], argv[3], argv[3], 0, true);
    if (!out.sent) {
        std::fprintf(stderr, "%s\n", out.error.c_str());
        return 1;
    }
    std::printf("job %d sent in %.3f s%s\n", out.jobId, bench::secondsSince(start), bench::buildNote());
    return 0;
}
