#pragma once

// The folders of the machine as the folder browse dialog walks them: where
// the folder tree begins (the roots, which play the part of drives), the
// folders and the files inside a folder, and the process's current folder. Implemented once
// per system (unix/folders.cpp, windows/folders.cpp), chosen by the build.
// Paths are the program's own byte strings, as in native_files.h.

#include <string>
#include <string_view>
#include <vector>

#include "core/text/expected.h"

namespace bladeway {

// One folder inside another.
struct SubfolderEntry {
    std::string name;
    // Hidden by the system's own mark: a name that starts with "." on Linux,
    // the hidden attribute on Windows.
    bool hidden = false;
};

// The folders inside `folder`, links to folders counted as folders, "." and
// ".." left out, in the order the system gives them; a failure when the
// folder cannot be read.
Expected<std::vector<SubfolderEntry>> ListSubfolders(const std::string& folder);

// One file inside a folder.
struct FileEntry {
    std::string name;
    // Hidden by the system's own mark, as for a folder.
    bool hidden = false;
};

// The files inside `folder` (regular files, links to them counted as files;
// folders and the system's special files left out), in the order the system
// gives them; a failure when the folder cannot be read.
Expected<std::vector<FileEntry>> ListFiles(const std::string& folder);

// The roots of this machine, without duplicates: on Linux "/", the home
// folder and the volumes mounted under /media, /mnt and /run/media (where
// removable and hand-mounted volumes go); on Windows the drives ("C:\").
std::vector<std::string> FolderRoots();

// The process's current folder as an absolute path; empty when the system
// cannot tell.
std::string CurrentFolder();

// The user's own folder ($HOME on Linux, %USERPROFILE% on Windows), where a
// file dialog starts when the folder it would start in is not there; the
// current folder when the system does not say.
std::string HomeFolder();

// `path` as an absolute path, a relative one taken from the current folder;
// nothing is looked up on the disk and links stay as they are.
std::string AbsolutePath(const std::string& path);

// The root part of an absolute path, ending with the separator: "/" on
// Linux; the drive ("C:\") or the share ("\\server\share\") on Windows.
// Empty for a path that has none.
std::string PathRoot(std::string_view absolutePath);

// The absolute path in one spelling: "." parts left out, ".." parts taken
// back, doubled separators made one, no separator at the end but the root's
// own, every separator the system's. Nothing is looked up on the disk. A path
// without a root comes back as it is.
std::string CleanAbsolutePath(std::string_view absolutePath);

// True when the two texts name the same folder by their spelling alone: byte
// for byte on Linux, ignoring the case of ASCII letters on Windows, whose
// file systems do.
bool SameFolderSpelling(std::string_view a, std::string_view b);

}  // namespace bladeway
