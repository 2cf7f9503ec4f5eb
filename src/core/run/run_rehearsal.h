#pragma once
// The check before a run tries the run on a file system that writes nothing.
// The trial needs to know where each program goes, not what it holds: it
// composes none, and places an empty file where each would go; the run after
// it composes its programs beside its writes. What the run takes from the
// trial is its readings of the sheet's keys, while the sheet and the
// translation options are still those they were made of.
//
// A trial is exact while none of its keys reads a program it placed (a
// template that an earlier key writes, the template folder being the
// destination). It notes such a read, and the check tries the run again,
// composing every program.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

#include "core/gcode/program_generator.h"
#include "core/keydata/key_reading.h"
#include "core/storage/file_system.h"

namespace bladeway {

class RunRehearsal final : public ProgramPlaces {
  public:
    // True once a trial has been made into it: the next run takes from it.
    bool Tried() const { return tried_; }

    // The trial's: where a program goes.
    void Placed(const std::string& path) override;
    // The trial's: a key's step read `path`.
    void Read(const std::string& path);
    // True when the trial read a program it had placed: its findings may not
    // be the run's.
    bool ReadAPlacedProgram() const { return readPlaced_; }

    // The trial's end: it leaves its readings of the sheet.
    void EndTrial(KeyReadings readings);
    // The trial's readings, when made of `sheet` with the options
    // `preferences` holds now.
    std::optional<KeyReadings> TakeReadings(const Sheet& sheet,
                                            const PreferenceValues& preferences);

  private:
    bool tried_ = false;
    bool readPlaced_ = false;
    // The paths placed, hashed: a trial places tens of thousands, and a rare
    // false match costs only a second trial.
    std::unordered_set<std::uint64_t> placed_;
    std::optional<KeyReadings> readings_;
};

// The file system the keys' steps of a trial read through: passes everything
// on, and tells the rehearsal each path read.
class RehearsedReads final : public FileSystem {
  public:
    RehearsedReads(FileSystem& fileSystem, RunRehearsal& rehearsal)
        : fileSystem_(fileSystem), rehearsal_(rehearsal) {}

    bool Exists(const std::string& path) const override { return fileSystem_.Exists(path); }
    bool FolderExists(const std::string& path) const override {
        return fileSystem_.FolderExists(path);
    }
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override {
        rehearsal_.Read(path);
        return fileSystem_.ReadWholeFile(path, limit);
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        return fileSystem_.ReplaceFile(path, bytes);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        return fileSystem_.CreateEmptyIfMissing(path);
    }
    StagingSteps* Staging() override { return fileSystem_.Staging(); }
    Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) override {
        return fileSystem_.LockForWriting(path, wait);
    }

  private:
    FileSystem& fileSystem_;
    RunRehearsal& rehearsal_;
};

}  // namespace bladeway
