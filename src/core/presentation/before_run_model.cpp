#include "core/presentation/before_run_model.h"

namespace bladeway {

std::string BeforeRunModel::Text() const {
    std::string text = hazards_.size() == 1 ? "Please check this before the run:"
                                            : "Please check these before the run:";
    for (const RunHazard& hazard : hazards_)
        text += "\n\n\u2022 " + hazard.text;
    return text + "\n\nProcess anyway runs it as it stands.";
}

}  // namespace bladeway
