#pragma once

// What `bladeway-cli index check` says of one INDICE.Prg, in a window of its
// own, and, for a file a run cannot use as it is, Repair: what `bladeway-cli
// index repair` does, after a question that says what will change. Its Close
// button and Escape close it.
//
// The window lays itself out (the findings take the room): the model gives
// its controls in order with their captions.

#include <string>

#include "core/presentation/control_text.h"
#include "core/presentation/twips.h"
#include "core/storage/file_system.h"

namespace bladeway {

// The window, top to bottom: the findings, then Repair at the left and Close
// at the right. The window\'s own name; its title is ProgramWindowTitle of it.
inline constexpr ControlText kIndexCheckWindow{"IndexCheck", "Check Index"};
inline constexpr TwipsRect kIndexCheckClientSize{0, 0, 10800, 4500};
inline constexpr ControlText kIndexCheckFindings{"Findings"};
inline constexpr ControlText kIndexCheckRepair{
    "RepairIndex", "&Repair\xE2\x80\xA6",  // an ellipsis, in UTF-8
    "Makes the file usable by a run again; the file as it is now is kept beside it as .bak"};
inline constexpr ControlText kIndexCheckClose{"CloseCheck", "Close"};

// What the model tells its window.
class IndexCheckView {
  public:
    virtual ~IndexCheckView() = default;

    // The findings, one per line (UTF-8), shown in a fixed-width font.
    virtual void ShowFindings(const std::string& text) = 0;
    // Repair is offered only for a file a run cannot use as it is.
    virtual void EnableRepair(bool enabled) = 0;
    // Yes or No, No first in focus.
    virtual bool ConfirmRepair(const std::string& question) = 0;
    virtual void Close() = 0;
};

class IndexCheckModel {
  public:
    explicit IndexCheckModel(FileSystem& fileSystem) : fileSystem_(fileSystem) {}

    // The window that shows the model from now on, at once.
    void SetView(IndexCheckView* view);

    // Reads the index at `path` now and shows the findings, or why it
    // cannot be read, and whether Repair is offered.
    void Check(const std::string& path);
    const std::string& Findings() const { return findings_; }

    // Asks first, saying what will change; then repairs the file, keeping
    // the old one as .bak, and shows what it did and the findings now.
    void Repair();

    // Close or Escape.
    void Close() const;

  private:
    void Read();  // the findings of the file at `path_` as it is now
    void Show();

    FileSystem& fileSystem_;
    IndexCheckView* view_ = nullptr;
    std::string path_;
    std::string findings_;
    bool canRepair_ = false;
};

}  // namespace bladeway
