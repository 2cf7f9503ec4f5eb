#pragma once
// The program generator: one key, carried by the run's KeyRecord, turned into
// one G-code program from its master template. The new position line, the
// G150 cycle line with the mirror text and the description, the variable
// lines (flat mode only) and the template's body, written in one piece.
#include <cstddef>
#include <string>
#include <string_view>

#include "core/gcode/master_template.h"
#include "core/keydata/key_record.h"
#include "core/storage/file_system.h"

namespace bladeway {

// A trial of a run, which needs to know only where each program goes: the
// generator composes none for it, and writes an empty file in its place.
class ProgramPlaces {
  public:
    virtual ~ProgramPlaces() = default;
    // Told the path of each program placed.
    virtual void Placed(const std::string& path) = 0;
};

// What the generator works with besides the record, read from the preference
// values at the moment of the call.
struct GeneratorSettings {
    std::string_view templateFolder;
    std::string_view destinationFolder;
    std::string_view mirrorCharacter;  // at most one character; empty for none
    bool flatTemplateMode = true;
    ProgramPlaces* trial = nullptr;  // none: every program is composed
};

// What became of one call.
struct GenerationResult {
    std::string templatePath;
    bool templateFound = false;
    std::string outputPath;  // the program's path; empty when the template was not found
    bool written = false;    // handed to the file system (a run's batch puts it in place later)
    std::string error;       // the problem that kept the program from being written, if any
};

// Templates larger than this are refused for their key: real ones are a few
// kilobytes, and a key's generation holds the template and its program at once.
inline constexpr std::size_t kTemplateFileLimit = std::size_t{4} << 20;

// The status code of a missing template.
inline constexpr std::string_view kTemplateNotFound = "GNF";

// The program text made of a template and a key, without the final CR LF
// that the writer adds. Replaces "(" by "[" and ")" by "]" in the record's
// description, as the generated program's comment needs.
std::string BuildProgram(const MasterTemplate& master, KeyRecord& record,
                         std::string_view mirrorCharacter, bool flatTemplateMode);

// Path of a template or program below `folder`: the trimmed name in flat
// mode, its tree name in tree mode. Empty when the name cannot be a file
// there (empty, holding a NUL, or reaching outside, see below).
std::string NamedFilePath(std::string_view folder, std::string_view name, bool flatTemplateMode);

// Names come from a key data file that someone else wrote, so none may reach
// outside its folder (or, in tree mode, the SRG tree). Why the trimmed `name`
// would: it holds a folder separator ("/" or "\", also as a root prefix), a
// colon (a drive prefix such as "C:" or a Windows stream), or a part of its
// path that reads "." or "..". Empty when the name stays inside.
std::string_view OutsideFolderReason(std::string_view name, bool flatTemplateMode);

// The error a key's result carries for a template or program name that
// reaches outside its folder; empty for a name that stays inside.
std::string OutsideFolderError(std::string_view name, bool isTemplate, bool flatTemplateMode);

// Finds the record's template; when it is missing, sets Status to "GNF" and
// writes nothing. A program name that cannot be a file in the destination
// folder is reported before the template is read. Otherwise reads the template
// whole (refused above the limit), builds the program and writes it (template
// text, CR LF) into the destination folder, replacing any earlier file
// atomically. A failing read or write is reported in the result; it leaves no
// partial file and changes no Status.
GenerationResult GenerateProgram(KeyRecord& record, const GeneratorSettings& settings,
                                 FileSystem& fileSystem);

}  // namespace bladeway
