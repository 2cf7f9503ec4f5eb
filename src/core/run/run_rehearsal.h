#pragma once
// The check before a run tries the run on a file system that writes nothing.
// What that trial made, the run after it takes instead of making it again:
// the readings of the sheet's keys and the programs it composed. Each is
// taken only while what it was made of still holds, so that the run writes
// exactly what it would have made itself: the readings while the sheet and
// the translation options are the same; a program while everything the keys'
// steps met so far, in order, was the same in the trial: each key's column
// and the preference values it was made with, and each answer of the files
// those steps read (templates, the template folder's INDICE.Prg). From the
// first difference on the run makes everything itself.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/program_generator.h"
#include "core/keydata/key_reading.h"
#include "core/storage/file_system.h"

namespace bladeway {

class RunRehearsal final : public ComposedPrograms {
  public:
    // How many bytes of programs a trial keeps for its run: past it, the run
    // composes the programs again rather than hold them all.
    static constexpr std::size_t kProgramBytes = std::size_t{64} << 20;

    explicit RunRehearsal(std::size_t programBytes = kProgramBytes) : budget_(programBytes) {}

    // True once a trial has been made into it: the next run takes from it.
    bool Tried() const { return tried_; }

    // Both sides. The run's `key`-th key begins, in `column`, steered by the
    // preference values given as `steering`.
    void BeginKey(std::size_t key, int column, std::string_view steering);
    // An answer a key's step had from the file system: the trial notes it,
    // the run compares it with the trial's at the same place.
    void Hear(std::string_view question, std::string_view answer);

    // The trial's program for the key begun, while the run has met only what
    // the trial met.
    std::optional<std::string> Take() override;
    // The trial keeps what it composes, within its bytes.
    void Keep(std::string program) override;

    // The trial's end: it leaves its readings of the sheet.
    void EndTrial(KeyReadings readings);
    // The trial's readings, when made of `sheet` with the options
    // `preferences` holds now.
    std::optional<KeyReadings> TakeReadings(const Sheet& sheet,
                                            const PreferenceValues& preferences);

    // How many programs the run took from the trial.
    std::size_t ProgramsTaken() const { return taken_; }

  private:
    void Note(std::uint64_t heard);

    std::size_t budget_;
    bool tried_ = false;
    bool departed_ = false;              // the run met something the trial did not
    std::vector<std::uint64_t> heard_;   // what the trial met, in order, hashed
    std::size_t compared_ = 0;           // how much of it the run has met too
    std::vector<std::string> programs_;  // by key; empty: none kept
    std::size_t keptBytes_ = 0;
    std::size_t key_ = 0;
    std::size_t taken_ = 0;
    std::optional<KeyReadings> readings_;
};

// The file system the keys' steps of a run read through: passes everything
// on, and tells the rehearsal, when there is one, each answer of a read.
class RehearsedReads final : public FileSystem {
  public:
    RehearsedReads(FileSystem& fileSystem, RunRehearsal* rehearsal)
        : fileSystem_(fileSystem), rehearsal_(rehearsal) {}

    bool Exists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override;
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        return fileSystem_.ReplaceFile(path, bytes);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override;
    StagingSteps* Staging() override { return fileSystem_.Staging(); }
    Expected<WriterLock> LockForWriting(const std::string& path, const LockWait& wait) override {
        return fileSystem_.LockForWriting(path, wait);
    }

  private:
    void Hear(std::string_view question, const std::string& path, std::string_view answer) const;

    FileSystem& fileSystem_;
    RunRehearsal* rehearsal_;
};

}  // namespace bladeway
