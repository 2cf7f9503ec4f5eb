#pragma once
// A template and a destination folder for run tests, the worked example's
// template in the first as the flat template MASTER, and runs into them that
// keep what the run tells.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/run/processing_run.h"
#include "support/index_bytes.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway::testing {

class RunFolders : public ::testing::Test {
  protected:
    RunFolders() {
        preferences_.templateFolder = templates_.Path().string();
        preferences_.destinationFolder = destination_.Path().string();
        templates_.Write("MASTER", kExampleTemplate);
    }

    RunEnvironment Environment(bool flat = true, FileSystem& fileSystem = Disk()) {
        RunEnvironment environment{
            preferences_, flat, fileSystem, [] { return std::string("07/04/24"); },
            [this](std::string_view message) { messages_.emplace_back(message); }};
        environment.batchLimits = limits_;
        environment.saving = [this](std::size_t programs) { saving_.push_back(programs); };
        return environment;
    }
    RunReport Run(const Sheet& sheet, bool flat, const SheetSelection& selection = NoSelection(),
                  FileSystem& fileSystem = Disk()) {
        return RunProcessing(sheet, selection, Environment(flat, fileSystem));
    }
    // The worked example's template as a tree template, listed in the
    // template index unless `index` says otherwise, and tree subfolders P and K.
    void TreeTemplates(const std::string& index = RawIndexRecord("MASTER")) {
        std::filesystem::create_directories(templates_.Path() / "SRG" / "M");
        WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", kExampleTemplate);
        if (!index.empty())
            WriteBytes(TemplateIndex(), index);
        std::filesystem::create_directories(destination_.Path() / "SRG" / "P");
        std::filesystem::create_directories(destination_.Path() / "SRG" / "K");
    }
    std::string TemplateIndex() const { return templates_.File("INDICE.Prg"); }
    std::string DestinationIndex() const { return destination_.File("INDICE.Prg"); }

    TempFolder templates_;
    TempFolder destination_;
    PreferenceValues preferences_;
    std::vector<std::string> messages_;
    RunBatchLimits limits_;
    std::vector<std::size_t> saving_;  // what the run told of each batch it saved
};

}  // namespace bladeway::testing
