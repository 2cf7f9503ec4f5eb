#include "core/run/run_rehearsal.h"

#include <utility>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace bladeway {
namespace {

std::uint64_t PathHash(const std::string& path) {
    return XXH3_64bits(path.data(), path.size());
}

}  // namespace

void RunRehearsal::Placed(const std::string& path) {
    placed_.insert(PathHash(path));
}

void RunRehearsal::Read(const std::string& path) {
    if (placed_.contains(PathHash(path)))
        readPlaced_ = true;
}

void RunRehearsal::EndTrial(KeyReadings readings) {
    tried_ = true;
    placed_ = {};
    readings_.emplace(std::move(readings));
}

std::optional<KeyReadings> RunRehearsal::TakeReadings(const Sheet& sheet,
                                                      const PreferenceValues& preferences) {
    if (!readings_ || !readings_->ReadFrom(sheet, preferences)) {
        return std::nullopt;
    }
    return std::exchange(readings_, std::nullopt);
}

}  // namespace bladeway
