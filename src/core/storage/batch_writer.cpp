#include "core/storage/batch_writer.h"

#include <algorithm>
#include <map>

#include "core/os/file_failures.h"
#include "core/os/paths.h"
#include "core/text/content_hash.h"

namespace bladeway {

Expected<StagedFile> ReplacingAtOnce::Stage(const std::string& path, std::string_view bytes) {
    if (Outcome replaced = files_.ReplaceFile(path, bytes); !replaced) {
        return replaced.failure();
    }
    return StagedFile{path, {}};  // already in place
}

Expected<std::string> ReplacingAtOnce::ReadStaged(const StagedFile& file, std::size_t limit) const {
    return files_.ReadWholeFile(file.target, limit);
}

Outcome ReplacingAtOnce::FlushStaged(std::span<const StagedFile> /*files*/) {
    return {};
}

Outcome ReplacingAtOnce::MoveIntoPlace(const StagedFile& /*file*/) {
    return {};
}

Outcome ReplacingAtOnce::FlushFolder(const std::string& /*folder*/) {
    return {};
}

void ReplacingAtOnce::Discard(const StagedFile& /*file*/) {}

std::size_t ReplacingAtOnce::RemoveLeftOverTemporaries(const std::string& /*folder*/) {
    return 0;
}

bool ReplacingAtOnce::StagesOnAnyThread() const {
    return false;
}

BatchWriter::BatchWriter(FileSystem& base)
    : base_(base), staging_(base.Staging() != nullptr ? *base.Staging() : atOnce_) {
    if (staging_.StagesOnAnyThread())
        stager_ = std::make_unique<BackgroundStager>(staging_);
}

void BatchWriter::SetKeeper(ReplacementKeeper* keeper) {
    keeper_ = keeper;
    // What a file replaces is kept as it is staged, beside the making of
    // the next: a batch's end then only notes it.
    if (stager_ != nullptr && keeper_ != nullptr) {
        stager_->SetAfterStaging([keeper](const StagedFile& file) -> std::optional<std::string> {
            if (!file.replacedSize)
                return std::nullopt;
            return keeper->KeepEarly(file.target);
        });
    }
}

BatchWriter::~BatchWriter() {
    Settle();
    for (const Entry& entry : staged_) {
        if (entry.stagingProblem.empty())
            staging_.Discard(entry.file);
    }
}

std::size_t BatchWriter::Settle() const {
    if (stager_ != nullptr && settled_ < staged_.size()) {
        for (BackgroundStager::Staged& staged : stager_->Finish()) {
            Entry& entry = staged_[settled_++];
            leftOversRemoved_ += staged.leftOversRemoved;
            if (staged.file) {
                entry.file = std::move(staged.file.value());
                entry.keptEarly = std::move(staged.keptEarly);
            } else {
                entry.stagingProblem = staged.file.error();
            }
        }
    }
    return static_cast<std::size_t>(
        std::count_if(staged_.begin(), staged_.end(),
                      [](const Entry& entry) { return entry.stagingProblem.empty(); }));
}

std::size_t BatchWriter::LeftOversRemoved() const {
    Settle();
    return leftOversRemoved_;
}

const BatchWriter::Entry* BatchWriter::LatestStaged(const std::string& key) const {
    const auto found = latest_.find(key);
    if (found == latest_.end())
        return nullptr;
    if (found->second >= settled_)
        Settle();
    // A staging that failed leaves the one before it of the same file, if any.
    for (std::size_t at = found->second + 1; at-- > 0;) {
        const Entry& entry = staged_[at];
        if (entry.stagingProblem.empty() && SameFileKey(entry.file.target) == key)
            return &entry;
    }
    return nullptr;
}

bool BatchWriter::IsStaged(const std::string& path) const {
    return LatestStaged(SameFileKey(path)) != nullptr;
}

bool BatchWriter::Exists(const std::string& path) const {
    return IsStaged(path) || base_.Exists(path);
}

bool BatchWriter::FolderExists(const std::string& path) const {
    return base_.FolderExists(path);
}

Expected<std::string> BatchWriter::ReadWholeFile(const std::string& path, std::size_t limit) const {
    const Entry* const staged = LatestStaged(SameFileKey(path));
    if (staged == nullptr) {
        return base_.ReadWholeFile(path, limit);
    }
    const Entry& entry = *staged;
    if (entry.size > limit) {
        return native::TooLargeFailure(path, entry.size, limit);
    }
    return staging_.ReadStaged(entry.file, limit);
}

Outcome BatchWriter::Keep(std::span<const PlannedReplacement> replacements) {
    if (!keepingProblem_.empty()) {
        return Failure{keepingProblem_};
    }
    if (Outcome kept = keeper_->KeepNow(replacements); !kept) {
        keepingProblem_ = kept.error();
        return kept;
    }
    return {};
}

Outcome BatchWriter::ReplaceFile(const std::string& path, std::string_view bytes) {
    std::string contentHash = keeper_ != nullptr ? ContentHash(bytes) : std::string{};
    // Without staging steps of its own the file is replaced as it is staged.
    if (keeper_ != nullptr && &staging_ == &atOnce_) {
        const PlannedReplacement replacement{path, contentHash};
        if (Outcome kept = Keep({&replacement, 1}); !kept) {
            return Failure{"cannot write '" + path + "': " + kept.error()};
        }
    }
    // The first file a run writes into a folder clears what killed runs
    // left there, so that hidden temporaries do not pile up.
    std::string folder = FolderOf(path);
    const bool sweep = sweptFolders_.insert(folder).second;
    StagedFile file{path, {}};  // as the stager will make it
    if (stager_ != nullptr) {
        stager_->Stage(path, std::string(bytes), sweep);
    } else {
        if (sweep)
            leftOversRemoved_ += staging_.RemoveLeftOverTemporaries(folder);
        auto staged = staging_.Stage(path, bytes);
        if (!staged) {
            return staged.failure();
        }
        file = std::move(staged.value());
    }
    latest_.insert_or_assign(SameFileKey(path), staged_.size());
    staged_.push_back(
        Entry{std::move(file), owner_, bytes.size(), std::move(contentHash), {}, std::nullopt});
    if (stager_ == nullptr)
        settled_ = staged_.size();
    stagedBytes_ += bytes.size();
    return {};
}

Outcome BatchWriter::CreateEmptyIfMissing(const std::string& path) {
    if (IsStaged(path)) {
        return {};
    }
    if (keeper_ != nullptr && !base_.Exists(path) && !base_.FolderExists(path)) {
        const PlannedReplacement creation{path, ContentHash({})};
        if (Outcome kept = Keep({&creation, 1}); !kept) {
            return Failure{"cannot create '" + path + "': " + kept.error()};
        }
    }
    return base_.CreateEmptyIfMissing(path);
}

std::vector<CommittedFile> BatchWriter::Commit() {
    Settle();
    std::vector<CommittedFile> outcomes;
    outcomes.reserve(staged_.size());
    std::vector<StagedFile> files;
    files.reserve(staged_.size());
    std::vector<std::size_t> outcomeOf;  // of each of `files`
    std::vector<PlannedReplacement> replacements;
    for (Entry& entry : staged_) {
        outcomes.push_back(
            CommittedFile{entry.owner, entry.file.target, false, std::move(entry.stagingProblem)});
        if (!outcomes.back().error.empty())
            continue;
        if (keeper_ != nullptr && &staging_ != &atOnce_) {
            replacements.push_back({entry.file.target, std::move(entry.contentHash), true,
                                    entry.file.replacedSize, std::move(entry.keptEarly)});
        }
        outcomeOf.push_back(outcomes.size() - 1);
        files.push_back(std::move(entry.file));
    }
    staged_.clear();
    settled_ = 0;
    stagedBytes_ = 0;
    latest_.clear();
    if (files.empty()) {
        return outcomes;
    }

    // What the batch replaces is kept before any of it is: what keeping it
    // writes is made durable by the batch's own flush, and put in place
    // before the first move.
    const auto giveUp = [&](const std::string& why) {
        for (std::size_t at = 0; at < files.size(); ++at) {
            staging_.Discard(files[at]);
            outcomes[outcomeOf[at]].error = "cannot write '" + files[at].target + "': " + why;
        }
        return outcomes;
    };
    std::size_t keeperFiles = 0;
    if (!replacements.empty()) {
        auto kept = keepingProblem_.empty()
                        ? keeper_->PrepareKeeping(replacements)
                        : Expected<std::vector<StagedFile>>(Failure{keepingProblem_});
        if (!kept) {
            keepingProblem_ = kept.error();
            return giveUp(kept.error() + "; nothing of its batch was replaced");
        }
        keeperFiles = kept.value().size();
        files.insert(files.end(), std::make_move_iterator(kept.value().begin()),
                     std::make_move_iterator(kept.value().end()));
    }
    const Outcome batchFlushed = staging_.FlushStaged(files);
    files.resize(files.size() - keeperFiles);  // the keeper's own are its to move
    if (!batchFlushed) {
        if (!replacements.empty())
            keeper_->AbandonKeeping();
        return giveUp("its batch could not be flushed: " + batchFlushed.error());
    }
    if (!replacements.empty()) {
        if (const Outcome kept = keeper_->CompleteKeeping(); !kept) {
            keepingProblem_ = kept.error();
            return giveUp(kept.error() + "; nothing of its batch was replaced");
        }
    }
    // Folder by folder, the files moved into it.
    std::map<std::string, std::vector<std::size_t>> movedInto;
    for (std::size_t at = 0; at < files.size(); ++at) {
        if (const Outcome moved = staging_.MoveIntoPlace(files[at]); !moved) {
            staging_.Discard(files[at]);
            outcomes[outcomeOf[at]].error = moved.error();
            continue;
        }
        outcomes[outcomeOf[at]].inPlace = true;
        movedInto[FolderOf(files[at].target)].push_back(at);
    }
    for (const auto& [folder, moved] : movedInto) {
        if (const Outcome flushed = staging_.FlushFolder(folder); !flushed) {
            for (const std::size_t at : moved) {
                outcomes[outcomeOf[at]].error = flushed.error();
            }
        }
    }
    return outcomes;
}

}  // namespace bladeway
