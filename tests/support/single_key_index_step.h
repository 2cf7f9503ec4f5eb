#pragma once
// The index step for one key on its own, reading and writing the destination
// index whole for every key, as the step was first written. The run enters
// its keys through IndexBatch instead; this stays as the reference that the
// batch's bytes are checked against (tests, the index fuzz target).
#include <string>
#include <vector>

#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/keydata/key_record.h"
#include "core/os/paths.h"
#include "core/storage/file_system.h"

namespace bladeway::testing {

// What became of one call.
struct IndexResult {
    std::string indexPath;            // the destination index written; empty when untouched
    std::vector<std::string> errors;  // file problems met, one line each
};

// Sets Status to "INF" or "IFL" as the template folder's index asks; with a
// Status that is not blank (also one left by an earlier key) the destination
// index is not touched. A destination index of a bad length is left as it
// is, without a message or a Status. A missing index file counts as empty and
// is created empty in the template folder. File problems are reported in the
// result and change no Status. A template or program name that would reach
// outside its folder is reported, and nothing is read or written for the key.
inline IndexResult UpdateIndexProgram(KeyRecord& record, const IndexSettings& settings,
                                      FileSystem& fileSystem) {
    IndexResult result;
    const auto entry = LookUpProgramEntry(record, settings, fileSystem, result.errors).entry;
    if (!entry) {
        return result;
    }
    const std::string indexPath = JoinPath(settings.destinationFolder, kIndexFileName);
    const auto index = ReadIndexFile(fileSystem, indexPath, false, result.errors);
    if (!index || !IsWholeNumberOfRecords(*index)) {
        return result;
    }
    if (const Outcome written = fileSystem.ReplaceFile(indexPath, EnterIndexRecord(*index, *entry));
        !written) {
        result.errors.push_back(written.error());
        return result;
    }
    result.indexPath = indexPath;
    return result;
}

}  // namespace bladeway::testing
