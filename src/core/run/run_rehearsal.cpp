#include "core/run/run_rehearsal.h"

#include <utility>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace bladeway {
namespace {

// A question and its answer in 64 bits: a trial and its run compare
// thousands of them, and the answers hold whole templates.
std::uint64_t Hashed(std::string_view question, std::string_view answer) {
    const XXH64_hash_t seed = XXH3_64bits(question.data(), question.size());
    return XXH3_64bits_withSeed(answer.data(), answer.size(), seed);
}

}  // namespace

void RunRehearsal::BeginKey(std::size_t key, int column, std::string_view steering) {
    key_ = key;
    Hear("key " + std::to_string(column), steering);
}

void RunRehearsal::Hear(std::string_view question, std::string_view answer) {
    if (!tried_) {
        heard_.push_back(Hashed(question, answer));
    } else if (!departed_) {
        Note(Hashed(question, answer));
    }
}

void RunRehearsal::Note(std::uint64_t heard) {
    if (compared_ < heard_.size() && heard_[compared_] == heard) {
        ++compared_;
        return;
    }
    // The trial's programs may no longer be the run's: none is taken now.
    departed_ = true;
    programs_.clear();
    programs_.shrink_to_fit();
}

std::optional<std::string> RunRehearsal::Take() {
    if (!tried_ || departed_ || key_ >= programs_.size() || programs_[key_].empty()) {
        return std::nullopt;
    }
    ++taken_;
    return std::exchange(programs_[key_], {});
}

void RunRehearsal::Keep(std::string program) {
    if (tried_ || keptBytes_ + program.size() > budget_) {
        return;
    }
    keptBytes_ += program.size();
    if (programs_.size() <= key_) {
        programs_.resize(key_ + 1);
    }
    programs_[key_] = std::move(program);
}

void RunRehearsal::EndTrial(KeyReadings readings) {
    tried_ = true;
    readings_.emplace(std::move(readings));
}

std::optional<KeyReadings> RunRehearsal::TakeReadings(const Sheet& sheet,
                                                      const PreferenceValues& preferences) {
    if (!readings_ || !readings_->ReadFrom(sheet, preferences)) {
        return std::nullopt;
    }
    return std::exchange(readings_, std::nullopt);
}

bool RehearsedReads::Exists(const std::string& path) const {
    const bool exists = fileSystem_.Exists(path);
    Hear("exists", path, exists ? "yes" : "no");
    return exists;
}

bool RehearsedReads::FolderExists(const std::string& path) const {
    const bool exists = fileSystem_.FolderExists(path);
    Hear("folder exists", path, exists ? "yes" : "no");
    return exists;
}

Expected<std::string> RehearsedReads::ReadWholeFile(const std::string& path,
                                                    std::size_t limit) const {
    Expected<std::string> bytes = fileSystem_.ReadWholeFile(path, limit);
    Hear(bytes ? "read" : "read failed", path, bytes ? bytes.value() : bytes.error());
    return bytes;
}

Outcome RehearsedReads::CreateEmptyIfMissing(const std::string& path) {
    Outcome created = fileSystem_.CreateEmptyIfMissing(path);
    Hear("create", path, created ? "" : created.error());
    return created;
}

void RehearsedReads::Hear(std::string_view question, const std::string& path,
                          std::string_view answer) const {
    if (rehearsal_ != nullptr) {
        rehearsal_->Hear(std::string(question) + ' ' + path, answer);
    }
}

}  // namespace bladeway
