// Arbitrary bytes as the catalog file, read through IniProfile and the paper
// catalog, then turned into the host text and written back. Inputs go to a
// scratch file under TMPDIR; TMPDIR=/dev/shm keeps the runs off the disk.
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "platform/posix/ini_profile.h"
#include "settings/paper_catalog.h"

using namespace orvox;

namespace {

void check(bool condition)
{
    if (!condition) std::abort();
}

void checkBounded(const PaperDefinition& p)
{
    for (const std::string* t : {&p.name, &p.mediaText1, &p.weight, &p.mediaText3})
        check(t->size() <= PaperDefinition::kMaxText);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string input = fuzz::scratchFile("OrvoxPaper.ini");
    static const std::string output = fuzz::scratchFile("saved.ini");
    fuzz::writeFile(input, data, size);

    // The input does not change behind the profile's back within one run.
    platform::IniProfile profile(platform::IniProfile::Freshness::kTrustUntilWritten);
    fuzz::SilentSink sink;
    PaperCatalog catalog(fuzz::shippedStrings(), profile, sink, input);
    catalog.loadVocabularies();
    const PaperCatalog::LoadResult loaded = catalog.loadCatalog();
    check(catalog.paperCount() <= PaperCatalog::kMaxEntries);

    // The host text has one line per vocabulary entry and paper, and an empty
    // line after each list: values never hold a line feed.
    const std::string text = catalog.catalogText();
    std::size_t lines = static_cast<std::size_t>(catalog.paperCount()) + PaperCatalog::kListCount;
    for (int list = 0; list < PaperCatalog::kListCount; ++list) {
        lines += catalog.vocabulary(list).size();
        for (const std::string& entry : catalog.vocabulary(list)) check(entry.size() <= PaperDefinition::kMaxText);
    }
    std::size_t feeds = 0;
    for (char c : text) feeds += c == '\n';
    check(feeds == lines);

    for (int i = 1; i <= catalog.paperCount(); ++i) {
        checkBounded(catalog.paper(i));
        const int found = catalog.findPaper(catalog.paperName(i));
        check(catalog.paperName(i).empty() ? found == 0 : (found >= 1 && found <= i));
    }
    catalog.hasEmptyName();
    catalog.hasDuplicateNames();

    // Writing back is one whole-file rewrite per key; keep it to catalogs of a
    // size that keeps the fuzzer fast.
    if (loaded.ok && catalog.paperCount() <= 64) {
        std::remove(output.c_str());
        PaperCatalog copy(fuzz::shippedStrings(), profile, sink, output);
        for (int i = 1; i <= catalog.paperCount(); ++i) copy.addPaper(catalog.paper(i));
        check(copy.saveCatalog(loaded.bodyIndex));
        const PaperCatalog::LoadResult again = copy.loadCatalog();
        check(again.ok && again.bodyIndex == loaded.bodyIndex && copy.paperCount() == catalog.paperCount());
    }
    return 0;
}
