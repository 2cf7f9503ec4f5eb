#pragma once
// The journal of one run, kept while the run writes: before a batch of files
// is replaced, what stood at each path is kept in the run's folder (a second
// name for the old file where the file system allows, so that keeping costs
// no copy; a copy otherwise), and the manifest listing it is made durable by
// the batch's own flush and put in place before the first file is replaced.
// Before an INDICE.Prg is replaced, its entries' old and new records are
// noted the same way. A run killed half way can therefore be undone as far
// as it went. A journal that cannot keep something keeps nothing of that
// batch and says why; the run then replaces nothing more. Nothing is made
// until the run first replaces something: a run that writes nothing leaves
// no journal.
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/gcode/index_entry_changes.h"
#include "core/journal/journal_manifest.h"
#include "core/journal/journal_place.h"
#include "core/storage/replacement_keeper.h"

namespace bladeway {

class RunJournal final : public ReplacementKeeper, public IndexChangeKeeper {
  public:
    RunJournal(JournalPlace place, RunDescription description);
    ~RunJournal() override;
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    Expected<std::vector<native::StagedFile>> PrepareKeeping(
        std::span<const PlannedReplacement> files) override;
    Outcome CompleteKeeping() override;
    void AbandonKeeping() override;
    // A second name for the file, in the run's folder, made now; nothing
    // where the file system has none (the journal is then kept by copies,
    // as the batch ends).
    std::optional<std::string> KeepEarly(const std::string& path) override;

    Outcome KeepIndexChanges(const std::string& path, bool existed,
                             std::span<const IndexEntryChange> changes) override;
    // Notes files the run removes (an undo does): their content is kept and
    // "removed" noted as what the run left.
    Outcome KeepBeforeRemoving(std::span<const std::string> paths);

    // Notes that the run ended. The oldest journals beyond the place's
    // limits are removed beside the run from its first keeping on; this
    // waits for that to end.
    void Finish();

    // The run's ID; empty while nothing was kept.
    const std::string& Id() const { return manifest_.id; }

  private:
    struct Planned {
        std::string path;
        std::optional<std::string> after;
        bool existenceKnown = false;
        std::optional<std::uint64_t> existingSize = {};
        std::optional<std::string> keptEarly = {};
    };
    // What a batch is keeping, between PrepareKeeping and its end.
    struct Keeping {
        JournalManifest before;
        std::size_t firstKept = 0;
        std::vector<std::string> newKeys;
        std::vector<std::string> linked;         // second names made
        std::vector<native::StagedFile> staged;  // copies, then the manifest files
    };

    Expected<std::vector<native::StagedFile>> Prepare(std::span<const Planned> files);
    Outcome Begin();
    // Removes the second names KeepEarly made that no batch took.
    void RemoveUnusedEarly();
    // Stages the manifest and the run's summary into `keeping`.
    Outcome StageManifest(Keeping& keeping);
    // The refusal of `reason`, after giving up what is being kept; a journal
    // whose manifest was never written goes altogether.
    Failure GiveUp(const Failure& reason);

    JournalPlace place_;
    JournalManifest manifest_;
    std::string folder_;  // the run's own
    std::unordered_map<std::string, std::size_t>
        fileAt_;  // by SameFileKey: place in manifest_.files
    std::unordered_map<std::string, std::size_t> indexAt_;
    std::map<std::pair<std::size_t, std::string>, std::size_t> entryAt_;  // (index, key): place
    std::size_t nextKept_ = 1;
    bool manifestWritten_ = false;
    std::optional<Keeping> keeping_;
    // What KeepEarly shares with the batch, from any thread: the run's
    // folder is made under it, and its names are its own ("e1", "e2", ...).
    std::mutex earlyMutex_;
    std::size_t nextEarly_ = 1;
    bool noEarly_ = false;         // a second name could not be made: keep at the batch's end
    std::set<std::string> early_;  // names made and not yet taken by a batch
};

}  // namespace bladeway
