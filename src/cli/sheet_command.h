#pragma once
// `bladeway-cli sheet [--json] KEYFILE`: the sheet a key data file loads into.
#include <string>

#include "cli/command.h"

namespace bladeway {

class SheetCommand final : public Command {
  public:
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    std::string keyFile_;
    bool json_ = false;
};

}  // namespace bladeway
