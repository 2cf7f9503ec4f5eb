#pragma once
// `bladeway-cli config get SECTION KEY` and `config set SECTION KEY VALUE`:
// the settings file read and written as the desktop program does.
#include <string>

#include "cli/command.h"

namespace bladeway {

class ConfigCommand final : public Command {
  public:
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    int Get(CliStreams& streams) const;
    int Set(CliStreams& streams) const;

    std::string settingsPath_;
    std::string section_;
    std::string key_;
    std::string value_;
    CLI::App* get_ = nullptr;
    CLI::App* set_ = nullptr;
};

}  // namespace bladeway
