// Builds the job header of a model-1 job with 0 to 512 paper substitutions
// and reports the time of one build beside that of the same job without
// substitutions (its reference: no outside program writes this header).
//   orvox_bench_header INSTALL_FOLDER SCRATCH [ROUNDS]
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "print/header_writer.h"
#include "print/job_header_builder.h"
#include "settings/job_document.h"

namespace {

using namespace orvox;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One timed build of the header file; the bytes written through `bytes`.
double buildOnce(JobHeaderBuilder& builder, JobDocument& doc, const std::string& path, std::uintmax_t& bytes)
{
    const auto start = std::chrono::steady_clock::now();
    const auto result = builder.writeJobHeader("C:\\jobs\\report.ps", path,
                                               {doc.record(), doc.catalog(), doc.substitutions(), nullptr},
                                               kOutputPostScript);
    const double seconds = bench::secondsSince(start);
    if (result != kHeaderOk) {
        std::fprintf(stderr, "header build failed: %d\n", result);
        std::exit(1);
    }
    bytes = std::filesystem::file_size(path);
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s INSTALL_FOLDER SCRATCH [ROUNDS]\n", argv[0]);
        return 2;
    }
    std::string install = argv[1];
    if (install.back() != '/') install += '/';
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 21;
    bench::BenchServices env(argv[2]);
    const std::string path = env.files.tempFolder() + "job.hdr";

    JobDocument plain(env.services, install);
    JobDocument subst(env.services, install);
    for (JobDocument* doc : {&plain, &subst}) {
        doc->setPrinterModel(1);
        doc->setSubstitutionsActive(1);
        doc->setCopyCount(2);
    }
    const int papers = std::max(1, subst.paperCount());
    JobHeaderBuilder builder(env.strings, env.messages);
    std::printf("%-14s %10s %12s %12s %8s %14s\n", "substitutions", "bytes", "build ms", "0-subst ms", "ratio",
                "us/subst");
    std::uintmax_t warm = 0;
    for (int i = 0; i < 5; ++i) buildOnce(builder, plain, path, warm);  // files and templates in the caches
    int have = 0;
    for (int count : {0, 1, 8, 64, 128, 256, 512}) {
        // Distinct single pages on the catalog's papers in turn.
        while (have < count) {
            if (!subst.addSubstitution(1 + have % papers, 0, std::to_string(have + 1))) {
                std::fprintf(stderr, "substitution %d refused\n", have);
                return 1;
            }
            ++have;
        }
        std::vector<double> ours, reference;
        std::uintmax_t bytes = 0, plainBytes = 0;
        for (int round = 0; round < rounds; ++round) {  // interleaved
            ours.push_back(buildOnce(builder, subst, path, bytes));
            reference.push_back(buildOnce(builder, plain, path, plainBytes));
        }
        const double o = median(ours), r = median(reference);
        std::printf("%-14d %10ju %12.3f %12.3f %8.2f %14.2f%s\n", count, bytes, o * 1e3, r * 1e3, o / r,
                    count ? (o - r) * 1e6 / count : 0.0, bench::buildNote());
    }
    std::filesystem::remove_all(argv[2]);
    return 0;
}
