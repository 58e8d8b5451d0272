// Converts one TIFF file into a PDF batch as a print run does, and reports
// the time and the peak heap of the conversion. bench/run.py runs it beside
// tiff2pdf and tiffcp on the same files and compares whole processes.
//   orvox_bench_tiff IN.tif OUT.pdf [SCRATCH]
#include <cstdio>

#include "bench_support.h"
#include "heap_meter.h"
#include "print/pdf_batch.h"
#include "print/tiff_to_pdf.h"

int main(int argc, char** argv)
{
    using namespace orvox;
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s IN.tif OUT.pdf [SCRATCH]\n", argv[0]);
        return 2;
    }
    bench::BenchServices env(argc > 3 ? argv[3] : std::string(argv[2]) + ".tmp");
    const auto start = std::chrono::steady_clock::now();
    bench::resetHeapPeak();
    PdfBatch batch(argv[2]);
    int result = batch.create() ? kTiffOk : kTiffFailed;
    if (result == kTiffOk) result = TiffToPdf(env.services, "ovx", false).append(batch, argv[1]);
    if (result == kTiffOk) result = batch.finish(env.strings);
    const double seconds = bench::secondsSince(start);
    std::printf("result=%d seconds=%.4f heap_peak=%lld%s\n", result, seconds,
                static_cast<long long>(bench::heapPeakSinceReset()), bench::buildNote());
    std::filesystem::remove_all(argc > 3 ? argv[3] : std::string(argv[2]) + ".tmp");
    return result == kTiffOk ? 0 : 1;
}
