#pragma once
// The paper catalog: the five vocabulary lists and the ordered,
// 1-based list of paper definitions, read from and written to the catalog file
// (an INI file, resource string 94, in the installation folder).
//
// Split of work with JobDocument:
// - PaperCatalog reads, holds and writes the lists; it knows nothing of the
//   settings record and never marks anything modified.
// - JobDocument owns `bodyPaper`, `bodyPaperName`, `reserved1078` and the
//   modified flag. It wraps addPaper / replacePaper (mark modified), does the
//   deletion by name (findPaper + removePaper + renumbering of the settings'
//   paper references + mark modified), and does step 6 of loading: after
//   loadCatalog() it clears `bodyPaperName`, sets `bodyPaper` and
//   `reserved1078` to 0, calls its own setBodyPaper(result.bodyIndex) (which
//   clamps to 2..count and uses copyAttributesToBodySlot), restores the
//   modified flag and refreshes the user interface.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/messages.h"
#include "platform/profile.h"
#include "platform/strings.h"

namespace orvox {

// One catalog paper. The in-memory record of the original has 256-byte text
// fields, so every text is bounded to kMaxText characters when it is stored.
struct PaperDefinition {
    static constexpr std::size_t kMaxText = 255;

    std::string name;            // unique ignoring case; not empty
    std::int16_t sizeCode = 0;   // 1-based position in vocabulary list 0
    std::string mediaText1;      // colour (list 1)
    std::string weight;          // weight text (list 2)
    std::string mediaText3;      // media type (list 3)
    std::int16_t flag = 0;       // one-sided flag, shown with the texts of list 4

    bool operator==(const PaperDefinition&) const = default;
};

class PaperCatalog {
public:
    // Vocabulary list numbers.
    enum List : int {
        kSizes = 0,       // page-size names, section 524
        kColors = 1,      // mediaText1, section 521
        kWeights = 2,     // weight, section 523
        kMediaTypes = 3,  // mediaText3, section 522
        kOneSided = 4,    // resource strings 362 then 361; not in the file
        kListCount = 5
    };
    // Upper bound of the paper count and of each vocabulary list: catalog
    // indices and list positions are stored in int16 fields of the settings.
    static constexpr int kMaxEntries = 32767;

    // The references must outlive the catalog. `catalogFile` is the full path.
    PaperCatalog(const platform::StringSource& strings, platform::Profile& profile,
                 platform::MessageSink& messages, std::string catalogFile);

    const std::string& catalogFile() const { return file_; }
    // With a file system, every write of the catalog file goes to a copy that
    // replaces the file only when all of it was written; without one the file
    // is written in place.
    void setFileSystem(platform::FileSystem* files) { files_ = files; }

    // --- Vocabularies -----------------------------------------------------
    // Empties the five lists, reads lists 0..3 in that order (stopping with
    // false at the first list whose count key is missing or negative), then
    // always appends the two texts of list 4. Sets catalogLoaded on success.
    bool loadVocabularies();
    bool catalogLoaded() const { return loaded_; }
    // List 0..4; an empty list for any other number.
    const std::vector<std::string>& vocabulary(int list) const;
    // Replaces the in-memory entries of list 0..3 (each bounded to 255
    // characters); ignored for other numbers. Used by the attribute dialogs.
    void setVocabulary(int list, std::vector<std::string> entries);
    // Writes list 1..3 back to its section: count key, then the entries.
    // False for another list number, an empty list, or a failed write (the
    // file then stays as it was).
    bool saveVocabulary(int list);

    // --- Papers -----------------------------------------------------------
    struct LoadResult {
        bool ok = false;     // false: a paper could not be stored (reading stopped)
        int bodyIndex = -1;  // key 515 as read (default -1), not clamped
    };
    // Replaces the papers with the paper section of the file. Choosing the body
    // paper afterwards is the document's work, using bodyIndex.
    LoadResult loadCatalog();
    // Deletes the paper section and writes count, body index `bodyPaper` and
    // the entries. False (after message 93+94+32) when any part of it cannot
    // be written; the file then stays as it was.
    bool saveCatalog(int bodyPaper);
    // Lists 1..3 and the paper section in one replacement of the file, so the
    // papers never refer to names the file's lists do not have yet. False
    // (after message 93+94+32) when anything fails; the file stays as it was.
    bool saveCatalogAndVocabularies(int bodyPaper);
    // Replaces every paper at once (texts bounded); false when there are too many.
    bool setPapers(const std::vector<PaperDefinition>& papers);

    int paperCount() const { return static_cast<int>(papers_.size()); }
    // Entry `index` (1-based); an empty definition when out of range.
    const PaperDefinition& paper(int index) const;
    // Name of entry `index`; empty when index is 0 or out of range.
    std::string paperName(int index) const;
    // 1-based index of the first entry named `name` ignoring case; 0 when
    // not found or `name` is empty.
    int findPaper(const std::string& name) const;

    // Appends (texts bounded to 255); false when the catalog is full.
    bool addPaper(const PaperDefinition& paper);
    // Overwrites entry `index` (1-based); false when out of range.
    bool replacePaper(int index, const PaperDefinition& paper);
    // Removes entry `index` (1-based); false when out of range. Renumbering
    // of references is the document's.
    bool removePaper(int index);
    // Copies every field except the name of entry `index` into entry 1 (the
    // body-paper slot); ignored when either entry does not exist.
    void copyAttributesToBodySlot(int index);
    void clearPapers() { papers_.clear(); }

    bool hasEmptyName() const;
    bool hasDuplicateNames() const;  // any pair equal ignoring case

    // The text for Orvo_GetPaperCatalog: lists 0..4, each entry + "\n" and an
    // empty line after each list; then one line per paper 1..count:
    // "name,sizeCode,mediaText1,weight,mediaText3,flag\n".
    std::string catalogText() const;

private:
    bool writeVocabulary(const std::string& path, int list);
    bool writePapers(const std::string& path, int bodyPaper);
    void reportWriteFailure();

    const platform::StringSource& strings_;
    platform::Profile& profile_;
    platform::MessageSink& messages_;
    std::string file_;
    platform::FileSystem* files_ = nullptr;
    std::vector<std::string> lists_[kListCount];
    std::vector<PaperDefinition> papers_;
    bool loaded_ = false;
};

} // namespace orvox
