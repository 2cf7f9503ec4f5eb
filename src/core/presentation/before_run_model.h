#pragma once
// The "Before this run" window: shown when Process is pressed and the check
// before the run finds something the worker should know. It lists each
// finding and offers "Process anyway" and "Cancel"; Cancel is the default
// and Escape and the close box take it, so that only a deliberate choice
// runs; Alt+P processes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/presentation/control_text.h"
#include "core/run/run_check.h"

namespace bladeway {

inline constexpr std::string_view kBeforeRunObjectName = "BeforeRun";
inline constexpr std::string_view kBeforeRunCaption = "Before this run";
inline constexpr ControlText kBeforeRunProcess{"ProcessAnyway", "&Process anyway"};
inline constexpr ControlText kBeforeRunCancel{"CancelRun", "Cancel"};

enum class BeforeRunButton : std::uint8_t { kProcessAnyway, kCancel };
inline constexpr BeforeRunButton kBeforeRunDefault = BeforeRunButton::kCancel;
inline constexpr BeforeRunButton kBeforeRunEscape = BeforeRunButton::kCancel;

class BeforeRunModel {
  public:
    explicit BeforeRunModel(std::vector<RunHazard> hazards) : hazards_(std::move(hazards)) {}

    // The window's text: a heading line, then one paragraph per finding.
    std::string Text() const;

    // The user's choice; the close box and Escape count as Cancel.
    void Answer(BeforeRunButton button) { proceed_ = button == BeforeRunButton::kProcessAnyway; }
    bool Proceeds() const { return proceed_; }

  private:
    std::vector<RunHazard> hazards_;
    bool proceed_ = false;
};

// What the front end shows the model in. Modal: returns once the user has
// chosen, the choice given to `model`.
class BeforeRunView {
  public:
    virtual ~BeforeRunView() = default;
    virtual void AskBeforeRun(BeforeRunModel& model) = 0;
};

}  // namespace bladeway
