#pragma once
// `bladeway-cli sheet [--json] KEYFILE`: the sheet a key data file loads into.
#include <string>

#include "cli/command.h"

namespace bladeway {

class SheetCommand final : public Command {
  public:
    // The sheet reads no settings; it takes --settings as every command does.
    explicit SheetCommand(CommonOptions& common) : common_(common) {}
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    CommonOptions& common_;
    std::string keyFile_;
    bool json_ = false;
};

}  // namespace bladeway
