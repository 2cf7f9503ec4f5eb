#pragma once
// `bladeway-cli index show FILE`, `index check FILE...` and `index repair
// FILE`: an INDICE.Prg shown as a table, checked for what keeps a run from
// using it, and put right.
#include <string>
#include <vector>

#include "cli/command.h"

namespace bladeway {

class IndexCommand final : public Command {
  public:
    explicit IndexCommand(CommonOptions& common) : common_(common) {}
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    int Show(CliStreams& streams) const;
    int Check(CliStreams& streams) const;
    int Repair(CliStreams& streams) const;

    CommonOptions& common_;
    std::vector<std::string> files_;
    bool json_ = false;
    bool raw_ = false;
    bool dryRun_ = false;
    CLI::App* show_ = nullptr;
    CLI::App* check_ = nullptr;
    CLI::App* repair_ = nullptr;
};

}  // namespace bladeway
