#pragma once

// What `bladeway-cli index check` says of one INDICE.Prg, in a window of its
// own, read-only: repairing stays a deliberate command. Its Close button and
// Escape close it.
//
// The window lays itself out (the findings take the room): the model gives
// its controls in order with their captions.

#include <string>

#include "core/presentation/control_text.h"
#include "core/presentation/twips.h"
#include "core/storage/file_system.h"

namespace bladeway {

// The window, top to bottom: the findings, then Close at the right.
// The window\'s own name; its title is ProgramWindowTitle of it.
inline constexpr ControlText kIndexCheckWindow{"IndexCheck", "Check Index"};
inline constexpr TwipsRect kIndexCheckClientSize{0, 0, 10800, 4500};
inline constexpr ControlText kIndexCheckFindings{"Findings"};
inline constexpr ControlText kIndexCheckClose{"CloseCheck", "Close"};

// What the model tells its window.
class IndexCheckView {
  public:
    virtual ~IndexCheckView() = default;

    // The findings, one per line (UTF-8), shown in a fixed-width font.
    virtual void ShowFindings(const std::string& text) = 0;
    virtual void Close() = 0;
};

class IndexCheckModel {
  public:
    explicit IndexCheckModel(const FileSystem& fileSystem) : fileSystem_(fileSystem) {}

    void SetView(IndexCheckView* view) { view_ = view; }

    // Reads the index at `path` now and shows the findings, or why it
    // cannot be read.
    void Check(const std::string& path);
    const std::string& Findings() const { return findings_; }

    // Close or Escape.
    void Close() const;

  private:
    const FileSystem& fileSystem_;
    IndexCheckView* view_ = nullptr;
    std::string findings_;
};

}  // namespace bladeway
