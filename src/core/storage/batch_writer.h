#pragma once
// The writer of a processing run: each file written through it is staged
// beside its target, and Commit makes a whole batch durable at once with one
// flush, then moves each file into place and flushes each folder that
// received one. Until then the targets on disk keep their old content, while
// reads through the writer already see the staged bytes, so a later key of
// the run reads what an earlier one wrote. Staging one path twice keeps both
// in order: the last one is the file that stays. Over a file system without
// staging steps (FileSystem::Staging gives none) each file is replaced at
// once when it is staged, and Commit has nothing left to do. Where the file
// system allows it, files are staged on a thread of the writer's own while
// the caller goes on; a file that cannot be staged is then reported by
// Commit. Given a keeper, the writer has it keep what each batch replaces
// before moving any file.
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/storage/background_stager.h"
#include "core/storage/file_system.h"
#include "core/storage/replacement_keeper.h"
#include "core/storage/staging_steps.h"

namespace bladeway {

// The staging steps of a file system that has none of its own: Stage
// replaces the file at once, leaving the other steps nothing to do.
class ReplacingAtOnce final : public StagingSteps {
  public:
    explicit ReplacingAtOnce(FileSystem& files) : files_(files) {}

    Expected<StagedFile> Stage(const std::string& path, std::string_view bytes) override;
    Expected<std::string> ReadStaged(const StagedFile& file, std::size_t limit) const override;
    Outcome FlushStaged(std::span<const StagedFile> files) override;
    Outcome MoveIntoPlace(const StagedFile& file) override;
    Outcome FlushFolder(const std::string& folder) override;
    void Discard(const StagedFile& file) override;
    std::size_t RemoveLeftOverTemporaries(const std::string& folder) override;
    bool StagesOnAnyThread() const override;

  private:
    FileSystem& files_;
};

// What became of one staged file once its batch was committed.
struct CommittedFile {
    std::size_t owner = 0;  // as set by SetOwner when it was staged
    std::string path;
    bool inPlace = false;  // moved over its target
    std::string error;     // the problem met, if any (also when in place but its folder unflushed)
};

class BatchWriter final : public FileSystem {
  public:
    explicit BatchWriter(FileSystem& base);
    ~BatchWriter() override;  // discards what was never committed
    BatchWriter(const BatchWriter&) = delete;
    BatchWriter& operator=(const BatchWriter&) = delete;

    // Asked to keep what each batch replaces before it is replaced (and what
    // a created file stood in the place of); none when null.
    void SetKeeper(ReplacementKeeper* keeper);
    // Why the keeper failed, once it did: that batch replaced nothing, and
    // the caller should write no more. Empty while it has not.
    const std::string& KeepingProblem() const { return keepingProblem_; }

    // Files staged from now on belong to `owner` in Commit's outcomes.
    void SetOwner(std::size_t owner) { owner_ = owner; }

    // Files handed over since the last Commit, and their bytes.
    std::size_t StagedCount() const { return staged_.size(); }
    std::size_t StagedBytes() const { return stagedBytes_; }
    // Waits until the files handed over are staged; gives how many are (a
    // file that could not be is left out).
    std::size_t Settle() const;
    bool IsStaged(const std::string& path) const;
    // Temporary files of killed runs removed so far from the folders written to.
    std::size_t LeftOversRemoved() const;

    // Flush, moves, folder flushes; one outcome per file handed over, in the
    // order they were. A failed flush moves nothing; every file whose
    // staging, flush or move failed is removed, and its target keeps its old
    // content.
    std::vector<CommittedFile> Commit();

    bool Exists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override;
    // Stages the file; it is in place after the next Commit.
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override;
    Outcome CreateEmptyIfMissing(const std::string& path) override;
    // Its writes are batched already: a batch over it replaces at once.
    StagingSteps* Staging() override { return nullptr; }
    Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) override {
        return base_.LockForWriting(path, wait);
    }

  private:
    struct Entry {
        StagedFile file;
        std::size_t owner = 0;
        std::size_t size = 0;
        std::string contentHash;               // for the keeper
        std::string stagingProblem;            // why it could not be staged, if so
        std::optional<std::string> keptEarly;  // what the keeper kept ahead of the batch
    };
    // Has the keeper keep what `replacements` replace; the failure, worded
    // for each file it stops, when it cannot.
    Outcome Keep(std::span<const PlannedReplacement> replacements);
    // The last staging of the file with this key that worked, if any.
    const Entry* LatestStaged(const std::string& key) const;

    FileSystem& base_;
    ReplacingAtOnce atOnce_{base_};  // the steps where the base has none
    StagingSteps& staging_;
    std::unique_ptr<BackgroundStager> stager_;  // where the steps allow another thread
    std::size_t owner_ = 0;
    // Reads wait for the stager and take in what it did: the entries it has
    // not reported on yet are those from `settled_` on.
    mutable std::vector<Entry> staged_;
    mutable std::size_t settled_ = 0;
    std::size_t stagedBytes_ = 0;
    // By path: where in staged_ its last staging is. Its bytes are read back
    // from the staged file, not kept, as a later read is rare.
    std::unordered_map<std::string, std::size_t> latest_;
    std::unordered_set<std::string> sweptFolders_;  // where left-over temporaries were removed
    mutable std::size_t leftOversRemoved_ = 0;
    ReplacementKeeper* keeper_ = nullptr;
    std::string keepingProblem_;
};

}  // namespace bladeway
