#include "core/presentation/substitution_table_model.h"

#include <utility>

namespace bladeway {

SubstitutionTableModel::SubstitutionTableModel(FileSystem& fileSystem, std::string tableFile,
                                               SettingsFile settings)
    : fileSystem_(fileSystem), tableFile_(std::move(tableFile)), settings_(std::move(settings)) {}

OuterSize SubstitutionTableModel::StoredSize() const {
    const StoredWindowPlace stored =
        ReadWindowPlace(settings_, settings_keys::kSubstitutionTablePlace);
    return {stored.height.value_or(0), stored.width.value_or(0)};
}

OuterPosition SubstitutionTableModel::StoredPosition() const {
    const StoredWindowPlace stored =
        ReadWindowPlace(settings_, settings_keys::kSubstitutionTablePlace);
    return {stored.top.value_or(0), stored.left.value_or(0)};
}

void SubstitutionTableModel::ClosedByFrame(OuterPosition position, OuterSize size) {
    StoreOuterPosition(settings_, settings_keys::kSubstitutionTablePlace, position);
    StoreOuterSize(settings_, settings_keys::kSubstitutionTablePlace, size);
    unloaded_ = true;
}

SavedSheet SubstitutionTableModel::FirstSheet() {
    SavedSheet sheet;
    sheet.rowCount = kSubstitutionTableRowCount;
    sheet.columnCount = kSubstitutionTableColumnCount;
    for (const std::string_view heading : kSubstitutionTableRowHeadings) {
        sheet.rowHeaders.emplace_back(std::string(heading));
    }
    sheet.rowHeights.assign(kSubstitutionTableRowHeadings.size(), kSubstitutionTableRowPixels);
    sheet.columnHeaders.resize(static_cast<std::size_t>(kSubstitutionTableColumnCount));
    sheet.columnWidths.assign(static_cast<std::size_t>(kSubstitutionTableColumnCount),
                              kSubstitutionTableColumnPixels);
    return sheet;
}

SubstitutionTableLayout SubstitutionTableModel::LayOut(std::int64_t outerHeight,
                                                       std::int64_t outerWidth) {
    const SubstitutionTableLayout layout = LayOutSubstitutionTable(
        static_cast<double>(outerHeight), static_cast<double>(outerWidth), gridHeight_, gridWidth_);
    gridHeight_ = layout.grid.height;
    gridWidth_ = layout.grid.width;
    return layout;
}

std::optional<SavedSheet> SubstitutionTableModel::Load() const {
    return LoadSheet(fileSystem_, tableFile_);
}

bool SubstitutionTableModel::Shown() {
    const auto sheet = Load();
    if (!sheet || view_ == nullptr)
        return false;
    view_->ShowSheet(*sheet);
    return true;
}

Outcome SubstitutionTableModel::Ok() {
    if (view_ == nullptr)
        return Failure{"the substitution table is not shown"};
    Outcome saved = SaveSheet(fileSystem_, tableFile_, view_->GridSheet());
    view_->HideWindow(true);
    return saved;
}

void SubstitutionTableModel::Cancel() {
    if (view_ != nullptr)
        view_->HideWindow(false);
}

}  // namespace bladeway
