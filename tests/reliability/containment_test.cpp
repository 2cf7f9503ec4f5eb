// Hostile template and program names, both modes: refused with a reason,
// nothing read or written for the key, and the run goes on.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/gcode/index_record.h"
#include "core/gcode/program_generator.h"
#include "core/run/processing_run.h"
#include "core/text/text.h"
#include "support/index_bytes.h"
#include "support/recording_file_system.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;

struct HostileName {
    std::string_view name;
    bool refusedFlat, refusedTree;
    std::string_view reason;
};

// clang-format off
constexpr HostileName kHostileNames[] = {
    {"../MASTER", true, true, "folder separator"}, {"..\\MASTER", true, true, "folder separator"},
    {"/etc/passwd", true, true, "folder separator"}, {"\\MASTER", true, true, "folder separator"},
    {"C:MASTER", true, true, "colon"}, {"c:", true, true, "colon"}, {" .. ", true, true, "\"..\""},
    {".", true, true, "\"..\""}, {".MASTER", false, true, "\"..\""}, {"M..", false, true, "\"..\""},
    {"ABCDEFGHI..", false, false, ""}, {"A..B", false, false, ""}};
// clang-format on

using testing::FilesBelow;
using testing::KeyColumn;

TEST(Containment, NamesReachingOutsideTheirFolderAreRefusedByGeneratorAndIndexStep) {
    const testing::TempFolder root;
    const fs::path templates = root.Path() / "templates";
    const fs::path destination = root.Path() / "dest";
    // Bait: a template beside the folders, index entries under every hostile name.
    testing::WriteBytes(root.Path() / "MASTER", testing::kExampleTemplate);
    fs::create_directories(templates / "SRG" / "M");
    fs::create_directories(destination / "SRG" / "K");
    testing::WriteBytes(templates / "MASTER", testing::kExampleTemplate);
    testing::WriteBytes(templates / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
    std::string index = testing::RawIndexRecord("MASTER");
    for (const HostileName& hostile : kHostileNames)
        index += testing::RawIndexRecord(ToUpperAscii(TrimSpaces(hostile.name)));
    testing::WriteBytes(templates / "INDICE.Prg", index);
    const auto before = FilesBelow(root.Path());

    PreferenceValues preferences;
    preferences.templateFolder = templates.string();
    preferences.destinationFolder = destination.string();
    const auto run = [&](const Sheet& sheet, bool flat, FileSystem& fileSystem) {
        const RunEnvironment environment{preferences, flat, fileSystem,
                                         [] { return std::string("01/02/03"); }, nullptr};
        return RunProcessing(sheet, NoSelection(), environment);
    };

    for (const HostileName& hostile : kHostileNames) {
        for (const bool flat : {true, false}) {
            const bool refused = flat ? hostile.refusedFlat : hostile.refusedTree;
            EXPECT_EQ(OutsideFolderReason(hostile.name, flat).empty(), !refused) << hostile.name;
            if (!refused)
                continue;
            for (const bool asTemplate : {true, false}) {
                SCOPED_TRACE(::testing::Message() << "'" << hostile.name << "' flat " << flat
                                                  << " template " << asTemplate);
                const auto sheet =
                    testing::SheetOf({asTemplate ? KeyColumn(std::string(hostile.name), "KEY1")
                                                 : KeyColumn("MASTER", std::string(hostile.name))});
                testing::RecordingFileSystem recording;
                const RunReport report = run(*sheet, flat, recording);
                ASSERT_EQ(report.keys.size(), 1U);
                const KeyResult& key = report.keys[0];
                EXPECT_FALSE(key.programWritten);
                ASSERT_EQ(key.errors.size(), 1U);  // said once, by index step and generator alike
                EXPECT_NE(key.errors[0].find(hostile.reason), std::string::npos) << key.errors[0];
                EXPECT_NE(key.errors[0].find(std::string(TrimSpaces(hostile.name))),
                          std::string::npos);
                EXPECT_EQ(key.status, asTemplate ? "GNF" : "   ");
                // At most the key's own template is looked for; nothing is read or written.
                const fs::path ownTemplate =
                    flat ? templates / "MASTER" : templates / "SRG" / "M" / "ASTER";
                for (const std::string& entry : recording.Log())
                    EXPECT_EQ(entry, "exists " + ownTemplate.string());
                EXPECT_EQ(FilesBelow(root.Path()), before);
            }
        }
    }

    // All of them in one run, then a good key: the run goes on to it.
    std::vector<std::vector<std::string>> columns;
    for (const HostileName& hostile : kHostileNames)
        if (hostile.refusedTree)
            columns.push_back(KeyColumn("MASTER", std::string(hostile.name)));
    columns.push_back(KeyColumn("MASTER", "KEY2"));
    const RunReport report = run(*testing::SheetOf(columns), false, Disk());
    ASSERT_EQ(report.keys.size(), columns.size());
    EXPECT_TRUE(report.keys.back().programWritten);
    const std::string destinationIndex = testing::ReadBytes(destination / "INDICE.Prg");
    EXPECT_EQ(destinationIndex.size(), kIndexRecordSize);
    EXPECT_EQ(destinationIndex.substr(0, kIndexNameLength), "KEY2        ");
    EXPECT_EQ(FilesBelow(root.Path()).size(), before.size() + 2);  // its program and the index
}

}  // namespace
}  // namespace bladeway
