#include "core/gcode/index_program.h"

#include <cmath>
#include <limits>
#include <optional>

#include "core/gcode/program_generator.h"
#include "core/os/paths.h"
#include "core/text/decimal_text.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

// A key value as the 32-bit float of an index entry; magnitudes beyond the
// float's range become infinities of their sign.
float IndexFloat(const std::string& value) {
    const double number = NumericValue(value);
    if (std::fabs(number) > static_cast<double>(std::numeric_limits<float>::max())) {
        return std::signbit(number) ? -std::numeric_limits<float>::infinity()
                                    : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(number);
}

}  // namespace

std::optional<std::string> ReadIndexFile(FileSystem& fileSystem, const std::string& path,
                                         bool createIfMissing, std::vector<std::string>& errors) {
    auto content = fileSystem.ReadWholeFile(path, kIndexFileLimit);
    if (content) {
        return std::move(content.value());
    }
    if (!IsNoFile(content.errorKind())) {
        errors.push_back(content.error());
        return std::nullopt;
    }
    if (createIfMissing) {
        if (const Outcome created = fileSystem.CreateEmptyIfMissing(path); !created) {
            errors.push_back(created.error());
            return std::nullopt;
        }
    }
    return std::string{};
}

bool IsWholeNumberOfRecords(std::string_view index) {
    return index.size() % kIndexRecordSize == 0;
}

IndexRecord MakeProgramEntry(const IndexRecord& templateEntry, const KeyRecord& record,
                             std::string_view date) {
    IndexRecord entry = templateEntry;
    entry.SetName(ToUpperAscii(record.ProgramName.View()));
    entry.SetDescription(record.Description.View());
    entry.SetDate(date);
    if (!record.L.empty()) {
        entry.SetX(IndexFloat(record.L));
    }
    if (!record.H.empty()) {
        entry.SetY(IndexFloat(record.H));
    }
    if (!record.S.empty()) {
        entry.SetZ(IndexFloat(record.S));
    }
    return entry;
}

ProgramEntryLookUp LookUpProgramEntry(KeyRecord& record, const IndexSettings& settings,
                                      FileSystem& fileSystem, std::vector<std::string>& errors) {
    ProgramEntryLookUp lookUp;
    // A name that would reach outside its folder is refused before anything
    // is read; the generator then refuses the key as well.
    for (const bool isTemplate : {true, false}) {
        const auto name = isTemplate ? record.TemplateName.View() : record.ProgramName.View();
        if (std::string error = OutsideFolderError(name, isTemplate, false); !error.empty()) {
            errors.push_back(std::move(error));
            return lookUp;
        }
    }

    lookUp.templateIndexPath = JoinPath(settings.templateFolder, kIndexFileName);
    const auto templateIndex = ReadIndexFile(fileSystem, lookUp.templateIndexPath, true, errors);
    if (!templateIndex) {
        return lookUp;
    }
    lookUp.templateIndexSize = templateIndex->size();
    if (!IsWholeNumberOfRecords(*templateIndex)) {
        lookUp.templateIndex = TemplateIndexState::kDamaged;
        if (settings.showMessage) {
            settings.showMessage(kIndexProblemMessage);
        }
        record.Status = kIndexFileBad;
        return lookUp;
    }
    if (const auto templateEntry = FindIndexRecord(*templateIndex, record.TemplateName.View())) {
        lookUp.templateIndex = TemplateIndexState::kListed;
        lookUp.entry = MakeProgramEntry(*templateEntry, record, settings.date);
    } else {
        lookUp.templateIndex = TemplateIndexState::kNotListed;
        record.Status = kIndexEntryNotFound;
    }
    if (!IsBlank(record.Status)) {
        lookUp.entry.reset();
    }
    return lookUp;
}

}  // namespace bladeway
