// The program generator over arbitrary templates and key values: building is
// deterministic, the program starts with the position and cycle lines and
// ends with the template's body, its size stays in proportion to its inputs,
// and a generation through the file system writes exactly the built program.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/gcode/master_template.h"
#include "core/gcode/program_generator.h"
#include "core/os/paths.h"
#include "fuzz_check.h"
#include "memory_file_system.h"

namespace {

using bladeway::KeyRecord;

// Input: a flags byte, then NUL-separated fields: description, mirror
// character, template name, program name, the values of L H S A B C D E F G
// I, an R value (its index is the flags byte's), and the template's bytes.
constexpr std::size_t kFieldCount = 17;

KeyRecord MakeRecord(const std::array<std::string_view, kFieldCount>& fields, unsigned flags) {
    KeyRecord record;
    record.Description = fields[0];
    record.TemplateName = fields[2];
    record.ProgramName = fields[3];
    record.MirrorCount = static_cast<std::int16_t>(flags % 4);
    std::string* values[] = {&record.L, &record.H, &record.S, &record.A, &record.B, &record.C,
                             &record.D, &record.E, &record.F, &record.G, &record.I};
    for (std::size_t i = 0; i < std::size(values); ++i)
        *values[i] = fields[4 + i];
    record.R[flags % KeyRecord::kVariableCount] = fields[15];
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned flags = data[0];
    const bool flat = (flags & 0x80U) == 0;
    const auto fields = bladeway::fuzzing::SplitFields<kFieldCount>(
        std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    const std::string_view mirror = fields[1].substr(0, 1);
    const std::string_view text = fields[16];

    const bladeway::MasterTemplate master = bladeway::ReadMasterTemplate(text);
    // The body is the template's tail.
    FUZZ_CHECK(master.body.empty() || master.body.data() + master.body.size() == text.end());

    KeyRecord first = MakeRecord(fields, flags);
    KeyRecord second = first;
    const std::string program = bladeway::BuildProgram(master, first, mirror, flat);
    FUZZ_CHECK(program ==
               bladeway::BuildProgram(bladeway::ReadMasterTemplate(text), second, mirror, flat));
    FUZZ_CHECK(first.Description == second.Description);
    FUZZ_CHECK(first.Description.View().find_first_of("()") == std::string_view::npos);

    FUZZ_CHECK(program.starts_with(master.positionLine.substr(0, 3)));
    FUZZ_CHECK(program.ends_with(master.body));
    const std::size_t cycle = program.find("\r\nG150(");
    FUZZ_CHECK(cycle != std::string::npos);
    std::size_t keyBytes = 0;
    for (std::size_t i = 4; i < 16; ++i)
        keyBytes += fields[i].size();
    // Each template line is copied a bounded number of times: no blow-up.
    FUZZ_CHECK(program.size() <= 16 * text.size() + 8 * keyBytes + 4096);
    if (flat && !fields[15].empty()) {
        const std::string line = "~R" + std::to_string(flags % KeyRecord::kVariableCount) + "=" +
                                 std::string(fields[15]) + "|";
        FUZZ_CHECK(program.find(line) != std::string::npos);
    }

    // Through the file system: the written file is the program plus CR LF.
    bladeway::fuzzing::MemoryFileSystem disk;
    KeyRecord record = MakeRecord(fields, flags);
    const std::string templatePath =
        bladeway::NamedFilePath("/t", record.TemplateName.View(), flat);
    if (!templatePath.empty())
        disk.files[templatePath] = std::string(text);
    const bladeway::GeneratorSettings settings{"/t", "/d", mirror, flat};
    const bladeway::GenerationResult result = bladeway::GenerateProgram(record, settings, disk);
    FUZZ_CHECK(result.templateFound == !templatePath.empty());
    FUZZ_CHECK(result.written == (disk.writes == 1));
    if (result.written) {
        FUZZ_CHECK(result.outputPath.starts_with(bladeway::JoinPath("/d", "")));
        FUZZ_CHECK(disk.files.at(result.outputPath) == program + "\r\n");
    } else if (result.templateFound) {
        FUZZ_CHECK(!result.error.empty());
    }
    return 0;
}
