#pragma once
// Realistic data at any size for the benchmarks: key data files as Lockplan
// writes them, and a scratch folder that removes itself.
#include <filesystem>
#include <string>

namespace bladeway::bench {

// A key data file of `keyCount` keys: heading lines, the six key rows and
// about fifteen name/value rows with decimal values in several forms. Key k
// uses one of `templateCount` template names "TPL<n>" and the program name
// "P<k>". The same arguments always give the same bytes.
std::string MakeKeyDataFile(int keyCount, int templateCount = 8);

// A master template of about `bytes` bytes: position line, cycle line with
// its "!" continuation, a variable section and a body of cutting moves.
// `variant` changes the values so that templates differ.
std::string MakeMasterTemplate(int bytes, int variant);

// Where the run benchmarks write: BLADEWAY_BENCH_DIR when set, else /var/tmp
// (on Windows the temporary folder), a folder on the disk, so that the
// figures include what the disk's flushes cost (set BLADEWAY_BENCH_DIR=/dev/shm
// for memory).
std::filesystem::path RunFolderParent();

class ScratchFolder {
  public:
    ScratchFolder();  // in the system's temporary folder
    explicit ScratchFolder(const std::filesystem::path& parent);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string Write(const std::string& name, const std::string& bytes) const;

  private:
    std::filesystem::path path_;
};

}  // namespace bladeway::bench
