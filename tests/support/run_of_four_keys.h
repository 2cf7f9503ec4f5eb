#pragma once
// A tree-mode run of four keys into `folder` (a path ending in a separator),
// for the run report's tests: B ended well, C's template was missing, D could
// not be written, E met a damaged destination index.
#include <string>

#include "core/run/processing_run.h"

namespace bladeway::testing {

// A key whose program was written into `folder`.
inline KeyResult WrittenKey(int column, const std::string& program, const std::string& folder) {
    KeyResult key;
    key.column = column;
    key.programName = program;
    key.templateName = "DZ120";
    key.templateFound = true;
    key.outputPath = folder + program;
    key.programWritten = true;
    return key;
}

inline RunReport RunOfFourKeys(const std::string& folder, int columnCount) {
    RunReport report;
    report.columnCount = columnCount;
    report.plannedKeys = 4;
    for (int column = 2; column <= 5; ++column) {
        KeyResult& key =
            report.keys.emplace_back(WrittenKey(column, "P" + std::to_string(column), folder));
        key.index.outcome = IndexOutcome::kEntered;
        key.indexPath = folder + "INDICE.Prg";
    }
    KeyResult& missing = report.keys[1];
    missing.templateFound = false;
    missing.templatePath = "/masters/DZ120";
    missing.programWritten = false;
    missing.status = "GNF";
    missing.index.outcome = IndexOutcome::kFileProblem;
    KeyResult& full = report.keys[2];
    full.programWritten = false;
    full.errors = {"cannot write '" + full.outputPath + "': No space left on device"};
    full.index.outcome = IndexOutcome::kFileProblem;
    KeyResult& damaged = report.keys[3];
    damaged.index.outcome = IndexOutcome::kDestinationIndexDamaged;
    damaged.index.path = folder + "INDICE.Prg";
    damaged.index.size = 333;
    return report;
}

}  // namespace bladeway::testing
