#pragma once

// The operating system's file calls that the disk file system is built from,
// implemented once per system (unix/native_files.cpp,
// windows/native_files.cpp), chosen by the build. Paths are the program's own
// byte strings; each implementation maps them to the system's file names.
//
// A durable replacement goes in four steps, so that a batch of files pays for
// one flush instead of one each: stage each file beside its target, flush the
// staged files, move each into place, flush each folder that received one.
// Until its move a staged file is invisible to readers of the target; after
// the folder's flush the new file survives a power loss.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/text/expected.h"

namespace bladeway {

// The temporary file a replacement goes through is named ".NAME.XXXXXX" with
// this suffix: a leading dot and a suffix no program or template uses, so
// neither the machine's control software nor a later run takes it for data.
inline constexpr std::string_view kTemporarySuffix = ".bwtmp";

// The XXXXXX of that name: this many letters and digits drawn at random, so
// that runs writing beside one file at once take different names (creating
// the file fails on a name taken, and another is drawn).
inline constexpr std::size_t kTemporaryRandomLength = 6;
// Where names tell case apart (Unix) the letters are drawn from both cases;
// where they do not (Windows) from one, since "a" and "A" would there name
// the same file and a second case would only add draws that collide.
inline constexpr std::string_view kTemporaryLettersBothCases =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr std::string_view kTemporaryLettersOneCase = "abcdefghijklmnopqrstuvwxyz0123456789";

}  // namespace bladeway

namespace bladeway::native {

struct FileStatus {
    bool exists = false;
    bool isFolder = false;
    bool isRegularFile = false;
    std::uint64_t size = 0;
};

// What the path names now; `exists` false when nothing is there or the
// system cannot tell.
FileStatus StatusOf(const std::string& path);

// The whole file; refused when it is larger than `limit`.
Expected<std::string> ReadWholeFile(const std::string& path, std::size_t limit);

// Creates an empty file unless something is there; a folder of that name fails.
Outcome CreateEmptyIfMissing(const std::string& path);

// A file written beside its target under a temporary name, not yet in place.
struct StagedFile {
    std::string target;
    std::string temporary;
    // The size of the file it replaces, when one was there as it was staged.
    std::optional<std::uint64_t> replacedSize = {};
};

// Writes `bytes` to a new temporary file in the target's folder (the name
// holds kTemporarySuffix), with the target's permissions when it exists.
// It is not durable yet; on Windows its data goes out to the device before
// the file is closed, so that FlushStaged need not open it again.
Expected<StagedFile> Stage(const std::string& target, std::string_view bytes);

// Makes the contents of the staged files durable, with as few flushes as the
// system allows (one per file system where it can, one per file otherwise).
Outcome FlushStaged(std::span<const StagedFile> files);

// Moves a staged file over its target in one atomic step; an existing target
// is replaced.
Outcome MoveIntoPlace(const StagedFile& file);

// Makes the folder's entries (the names just moved into it) durable.
Outcome FlushFolder(const std::string& folder);

// Folders found writable, each with whether it holds folders of its own: in
// one that holds none, no file path can name a folder, so a dry run of
// thousands of programs need not look at each path.
using WritableFolders = std::unordered_map<std::string, bool>;

// Why writing a file at `path` would fail, worded after `what` ("cannot
// write 'PATH': REASON"); nothing when the system sees no obstacle. Looks
// only: nothing is written. Where the system grants writing through access
// lists that no cheap call tells (Windows), the real write reports a refusal.
// `writableFolders`, when given, holds the folders found writable so far and
// gains the path's folder once it is: a dry run of thousands of files looks
// at each folder once, since it creates none.
Outcome CheckWritable(const std::string& path, std::string_view what,
                      WritableFolders* writableFolders = nullptr);

// The system's own parts of that check: a name the system cannot take
// (Windows: one that is not UTF-8), and a folder whose permissions refuse new
// files (Unix).
Outcome CheckNameUsable(const std::string& path, std::string_view what);
Outcome CheckFolderPermission(const std::string& folder, const std::string& path,
                              std::string_view what);

// A second name for an existing file, in the same file system: its content
// stays reachable under `link` after the file at `existing` is replaced.
// Fails where the file system has no such names or the two lie apart.
Outcome HardLink(const std::string& existing, const std::string& link);

// Removes the file (not a folder).
Outcome RemoveFile(const std::string& path);

// Makes the folder, and the folders above it that are missing; true when it
// made the folder itself, false when it was there already.
Expected<bool> CreateFolder(const std::string& path);

// Removes the folder with everything in it, read-only files too; a link to
// a folder goes as a link. What is gone already, or goes meanwhile by another
// program's hand, counts as removed.
Outcome RemoveFolderTree(const std::string& path);

// Removes a staged file that will not be moved into place; never fails loudly.
void Discard(const StagedFile& file);

// True for a name that Stage gives its temporary files
// (".NAME.XXXXXX" and kTemporarySuffix, on Windows also with ".old" before
// the suffix for the replaced file's backup).
bool IsTemporaryName(std::string_view fileName);

// Removes the regular files of `folder` with a temporary's name that were
// last written longer than `minimumAge` ago: what a run that was killed or
// lost its power left behind. How many went; a folder that cannot be read
// has none.
std::size_t RemoveLeftOverTemporaries(const std::string& folder, std::chrono::seconds minimumAge);

}  // namespace bladeway::native
