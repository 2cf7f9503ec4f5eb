#include "core/presentation/index_check_model.h"

#include <chrono>

#include "core/gcode/index_check.h"
#include "core/gcode/index_file_repair.h"
#include "core/gcode/index_program.h"
#include "core/gcode/index_repair.h"
#include "core/run/run_report_text.h"

namespace bladeway {
namespace {

// A run holds an index's lock for the moments it writes it: a repair waits
// that long, not a run's whole minute, with the window waiting on it.
constexpr std::chrono::seconds kRepairLockWait{10};

}  // namespace

void IndexCheckModel::SetView(IndexCheckView* view) {
    view_ = view;
    Show();
}

void IndexCheckModel::Check(const std::string& path) {
    path_ = path;
    Read();
    Show();
}

void IndexCheckModel::Read() {
    const Expected<std::string> index = fileSystem_.ReadWholeFile(path_, kIndexFileLimit);
    findings_ =
        index ? IndexCheckText(ShowPath(path_), index.value()) : ShowPath(index.error()) + "\n";
    canRepair_ = false;
    if (index) {
        const IndexRepair repair = RepairIndex(index.value());
        canRepair_ = repair.changed && repair.refusal.empty();
    }
}

void IndexCheckModel::Repair() {
    if (!canRepair_ || view_ == nullptr)
        return;
    const Expected<std::string> index = fileSystem_.ReadWholeFile(path_, kIndexFileLimit);
    if (!index) {
        Check(path_);
        return;
    }
    const IndexRepair planned = RepairIndex(index.value());
    std::string question = "Repair " + ShowPath(path_) + "?\n";
    for (const std::string& change : IndexRepairChanges(index.value(), planned, /*done=*/false))
        question += "\n- " + change;
    question += "\n\nThe file as it is now is kept as " + ShowPath(IndexBackupPath(path_)) + ".";
    if (!view_->ConfirmRepair(question))
        return;
    LockWait wait;
    wait.limit = kRepairLockWait;
    const IndexFileRepair repair = RepairIndexFile(fileSystem_, path_, wait);
    std::string done;
    if (!repair.problem.empty()) {
        done = "Not repaired: " + ShowPath(repair.problem) + "; left as it is.\n";
    } else if (repair.repaired) {
        done = "Repaired; the old file is kept as " + ShowPath(repair.backupPath) + ":\n";
        for (const std::string& change : repair.changes)
            done += "- " + change + "\n";
    }
    if (repair.takeover)
        done += "The repair " + ShowPath(TakeoverText(*repair.takeover)) + ".\n";
    Read();
    findings_ = done + "\n" + findings_;
    Show();
}

void IndexCheckModel::Show() {
    if (view_ == nullptr)
        return;
    view_->ShowFindings(findings_);
    view_->EnableRepair(canRepair_);
}

void IndexCheckModel::Close() const {
    if (view_ != nullptr)
        view_->Close();
}

}  // namespace bladeway
