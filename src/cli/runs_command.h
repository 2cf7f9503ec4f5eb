#pragma once
// `bladeway-cli runs`: the runs kept for undo (list, show) and taking one
// back (undo), in the user's journal folder.
#include <string>

#include "cli/command.h"

namespace bladeway {

class RunsCommand final : public Command {
  public:
    explicit RunsCommand(CommonOptions& common) : common_(common) {}
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    int List(CliStreams& streams) const;
    int Show(CliStreams& streams) const;
    int Undo(CliStreams& streams) const;

    CommonOptions& common_;
    std::string id_;
    bool json_ = false;
    bool dryRun_ = false;
    CLI::App* list_ = nullptr;
    CLI::App* show_ = nullptr;
    CLI::App* undo_ = nullptr;
};

}  // namespace bladeway
