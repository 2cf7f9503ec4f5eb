#pragma once
// What the program preview shows for a key: what Process would write for the
// current column now, or a program file as a run wrote it. Texts are UTF-8
// (decoded from the Windows-1252 of the files); the program stays bytes.
#include <string>

#include "core/run/line_comparison.h"
#include "core/run/program_preview.h"
#include "core/storage/file_system.h"

namespace bladeway {

struct ProgramPreviewText {
    std::string heading;     // which key, which file
    std::string comparison;  // against the destination's file; may be empty
    std::string indexEntry;  // "Index entry: NAME | DESCRIPTION | DATE | X 1 Y 2 Z 3"; may be empty
    std::string program;     // the program's bytes (Windows-1252); empty when none
    std::string missing;     // shown in place of the text when there is no program
    // The lines where the destination's file differs, beside the program's.
    LineComparison differences;
};

// The preview of a replayed run's column.
ProgramPreviewText DescribePreview(const ProgramPreview& preview);

// A program as the run wrote it, read again from its file.
ProgramPreviewText DescribeWrittenProgram(const KeyResult& key, const FileSystem& fileSystem);

}  // namespace bladeway
