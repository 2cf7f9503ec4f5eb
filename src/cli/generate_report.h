#pragma once
// How `bladeway-cli generate` shows a run: one line per processed key and a
// summary line, or the same as one JSON document. The wording is the core's
// (core/run/run_report_text.h), which the desktop program's report shares.
#include <optional>
#include <ostream>

#include "core/keydata/key_data_damage.h"
#include "core/run/processing_run.h"
#include "core/run/run_report_text.h"

namespace bladeway {

void PrintPlainReport(const RunReport& report, bool dryRun, std::ostream& out);
// `damage`: what is wrong with the key data file, if anything ("keyFileDamage").
void PrintJsonReport(const RunReport& report, bool flatTemplateMode, bool dryRun,
                     const std::optional<KeyDataDamage>& damage, std::ostream& out);

}  // namespace bladeway
