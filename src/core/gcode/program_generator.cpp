#include "core/gcode/program_generator.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/gcode/address_value.h"
#include "core/gcode/tree_name.h"
#include "core/os/file_names.h"
#include "core/os/paths.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// "X" and its value for the position line: the key's value, or the one the
// template's line 1 gives after the letter's first occurrence.
std::string AxisWord(char letter, const std::string& keyValue, std::string_view positionLine,
                     bool flatTemplateMode) {
    std::string word(1, letter);
    if (!keyValue.empty()) {
        return word.append(FormatAxisValue(keyValue, flatTemplateMode));
    }
    const auto found = positionLine.find(letter);
    // Without the letter the value read is the text before line 1's first capital.
    const std::int64_t start =
        found == std::string_view::npos ? 1 : static_cast<std::int64_t>(found) + 2;
    return word.append(ReadAddressValue(positionLine, start));
}

std::string PositionLine(std::string_view line1, const KeyRecord& record, bool flatTemplateMode) {
    std::string line(line1.substr(0, 3));
    line.append(AxisWord('X', record.L, line1, flatTemplateMode));
    line.append(AxisWord('Y', record.H, line1, flatTemplateMode));
    line.append(AxisWord('Z', record.S, line1, flatTemplateMode));
    const auto tail = line1.find('T');
    line.append(tail == std::string_view::npos ? line1 : line1.substr(tail));
    return line;
}

// A cycle word: the key's value, or the template's value found under
// `lookUp` in the cycle words; nothing when neither has one.
std::string CycleWord(char letter, char lookUp, const std::string& keyValue,
                      std::string_view cycleWords) {
    if (!keyValue.empty()) {
        return std::string(1, letter).append(keyValue);
    }
    const auto found = cycleWords.find(lookUp);
    if (found == std::string_view::npos) {
        return {};
    }
    return std::string(1, letter).append(
        ReadAddressValue(cycleWords, static_cast<std::int64_t>(found) + 2));
}

struct ContinuationLetter {
    char letter;
    char lookUp;
    const std::string KeyRecord::*field;
};

// The continuation line's words in their order. The template's D and E words
// are looked up under J and K, since the cycle words have them renamed.
constexpr std::array<ContinuationLetter, 7> kContinuationLetters{{
    {'B', 'B', &KeyRecord::B},
    {'C', 'C', &KeyRecord::C},
    {'D', 'J', &KeyRecord::D},
    {'E', 'K', &KeyRecord::E},
    {'F', 'F', &KeyRecord::F},
    {'G', 'G', &KeyRecord::G},
    {'I', 'I', &KeyRecord::I},
}};

std::string MirrorText(std::string_view mirrorCharacter, std::int16_t mirrorCount) {
    std::string mirror;
    if (mirrorCount == 1 || mirrorCount == 2) {
        for (int i = 0; i < mirrorCount; ++i) {
            mirror.append(mirrorCharacter);
        }
    }
    return std::string(TrimSpaces(mirror));
}

std::string VariableLines(const MasterTemplate& master, const KeyRecord& record) {
    std::string lines;
    for (std::size_t index = 0; index < master.variables.size(); ++index) {
        const TemplateVariable& variable = master.variables[index];
        const std::string& keyValue = record.R[index];
        if (!keyValue.empty()) {
            lines.append("~R").append(std::to_string(index)).append("=").append(keyValue);
            lines.append("|").append(variable.comment).append(kLineEnd);
        } else if (variable.defined) {
            lines.append("~R").append(variable.definition).append("|").append(variable.comment);
            lines.append(kLineEnd);
        }
    }
    return lines;
}

// The path below a folder that a name gives, with "\\" between its parts.
std::string RelativePath(std::string_view name, bool flatTemplateMode) {
    return flatTemplateMode ? std::string(TrimSpaces(name)) : TreeName(name);
}

// The same path as the file system names it.
std::string NativeRelativePath(std::string_view name, bool flatTemplateMode) {
    return FileNameOf(NativeSeparators(RelativePath(name, flatTemplateMode)));
}

// True when `name` gives a path that stays a file inside its folder.
bool IsUsableName(std::string_view name, bool flatTemplateMode) {
    name = TrimSpaces(name);
    return !name.empty() && name.find('\0') == std::string_view::npos &&
           OutsideFolderReason(name, flatTemplateMode).empty();
}

}  // namespace

std::string BuildProgram(const MasterTemplate& master, KeyRecord& record,
                         std::string_view mirrorCharacter, bool flatTemplateMode) {
    std::string_view cycleLine = master.cycleLine;
    if (const auto comment = cycleLine.find(')'); comment != std::string_view::npos) {
        cycleLine.remove_prefix(comment + 1);
    }
    std::string cycleWords(cycleLine);
    std::replace(cycleWords.begin(), cycleWords.end(), 'D', 'J');
    std::replace(cycleWords.begin(), cycleWords.end(), 'E', 'K');

    const std::string aWord = CycleWord('A', 'A', record.A, cycleWords);
    std::string continuation = "!";
    for (const ContinuationLetter& word : kContinuationLetters) {
        continuation.append(CycleWord(word.letter, word.lookUp, record.*word.field, cycleWords));
    }

    record.Description.Replace('(', '[');
    record.Description.Replace(')', ']');
    std::string cycle = "G150(";
    cycle.append(MirrorText(mirrorCharacter, record.MirrorCount));
    cycle.append(TrimSpaces(record.Description.View())).append(") ").append(aWord);
    if (continuation.size() > 1) {
        cycle.append(kLineEnd).append(continuation);
    }

    const std::string position = PositionLine(master.positionLine, record, flatTemplateMode);
    const std::string variables = flatTemplateMode ? VariableLines(master, record) : std::string{};
    std::string program;
    // One allocation, with room for the CR LF the writer adds: the body may
    // be tens of kilobytes, and each regrowth would copy it again.
    program.reserve(position.size() + cycle.size() + variables.size() + master.body.size() +
                    3 * kLineEnd.size());
    program.append(position).append(kLineEnd).append(cycle).append(kLineEnd);
    program.append(variables).append(master.body);
    return program;
}

std::string_view OutsideFolderReason(std::string_view name, bool flatTemplateMode) {
    name = TrimSpaces(name);
    if (name.find_first_of("/\\") != std::string_view::npos) {
        return "it holds a folder separator";
    }
    if (name.find(':') != std::string_view::npos) {
        return "it holds a colon, which would name a drive";
    }
    // The parts of the path below the folder, "\\" between them.
    const std::string relative = RelativePath(name, flatTemplateMode);
    for (std::size_t start = 0;;) {
        const auto end = relative.find('\\', start);
        const std::string_view part = std::string_view(relative).substr(start, end - start);
        if (part == "." || part == "..") {
            return R"(a part of its path would read "." or "..")";
        }
        if (end == std::string::npos) {
            return {};
        }
        start = end + 1;
    }
}

std::string OutsideFolderError(std::string_view name, bool isTemplate, bool flatTemplateMode) {
    const std::string_view reason = OutsideFolderReason(name, flatTemplateMode);
    if (reason.empty()) {
        return {};
    }
    const std::string_view what = isTemplate ? "template" : "program";
    const std::string_view folder = isTemplate ? "template" : "destination";
    std::string error(what);
    error.append(" name '").append(TrimSpaces(name)).append("' cannot be a file name in the ");
    return error.append(folder).append(" folder: ").append(reason);
}

std::string NamedFilePath(std::string_view folder, std::string_view name, bool flatTemplateMode) {
    if (!IsUsableName(name, flatTemplateMode)) {
        return {};
    }
    return JoinPath(folder, NativeRelativePath(name, flatTemplateMode));
}

GenerationResult GenerateProgram(KeyRecord& record, const GeneratorSettings& settings,
                                 FileSystem& fileSystem) {
    GenerationResult result;
    const std::string_view templateName = record.TemplateName.View();
    const std::string templatePath =
        NamedFilePath(settings.templateFolder, templateName, settings.flatTemplateMode);
    result.templatePath = templatePath;
    if (templatePath.empty()) {
        // The path the name would give, for the report only.
        result.templatePath = JoinPath(settings.templateFolder,
                                       NativeRelativePath(templateName, settings.flatTemplateMode));
        result.error = OutsideFolderError(templateName, true, settings.flatTemplateMode);
    }
    if (templatePath.empty() || !fileSystem.Exists(templatePath)) {
        record.Status = kTemplateNotFound;
        return result;
    }
    result.templateFound = true;

    // The record's description takes its brackets whatever becomes of the
    // program: the index step of later keys reads it. The program name is
    // checked before anything is read for the key.
    record.Description.Replace('(', '[');
    record.Description.Replace(')', ']');
    const std::string_view programName = TrimSpaces(record.ProgramName.View());
    result.outputPath =
        NamedFilePath(settings.destinationFolder, programName, settings.flatTemplateMode);
    if (result.outputPath.empty()) {
        const bool unnamed = programName.find_first_not_of('\0') == std::string_view::npos;
        result.error = unnamed ? "the key has no program name"
                               : OutsideFolderError(programName, false, settings.flatTemplateMode);
        if (result.error.empty()) {
            result.error = "program name '" + std::string(programName) +
                           "' cannot be a file name in the destination folder: it holds a NUL";
        }
        return result;
    }

    const auto templateText = fileSystem.ReadWholeFile(templatePath, kTemplateFileLimit);
    if (!templateText) {
        result.error = templateText.error();
        return result;
    }
    // A trial needs only the program's place: the run composes it.
    std::string program;
    if (settings.trial == nullptr) {
        const MasterTemplate master = ReadMasterTemplate(templateText.value());
        program = BuildProgram(master, record, settings.mirrorCharacter, settings.flatTemplateMode);
        program.append(kLineEnd);
    }
    if (const Outcome written = fileSystem.ReplaceFile(result.outputPath, program); !written) {
        result.error = written.error();
        return result;
    }
    result.written = true;
    if (settings.trial != nullptr)
        settings.trial->Placed(result.outputPath);
    return result;
}

}  // namespace bladeway
