#include "core/presentation/index_check_model.h"

#include "core/gcode/index_check.h"
#include "core/gcode/index_program.h"
#include "core/run/run_report_text.h"

namespace bladeway {

void IndexCheckModel::Check(const std::string& path) {
    const Expected<std::string> index = fileSystem_.ReadWholeFile(path, kIndexFileLimit);
    findings_ =
        index ? IndexCheckText(ShowPath(path), index.value()) : ShowPath(index.error()) + "\n";
    if (view_ != nullptr)
        view_->ShowFindings(findings_);
}

void IndexCheckModel::Close() const {
    if (view_ != nullptr)
        view_->Close();
}

}  // namespace bladeway
