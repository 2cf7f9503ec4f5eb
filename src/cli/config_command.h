#pragma once
// `bladeway-cli config get SECTION KEY`, `config set SECTION KEY VALUE` and
// `config path`: the settings file read and written as the desktop program
// does, and where it is.
#include <string>

#include "cli/command.h"

namespace bladeway {

class ConfigCommand final : public Command {
  public:
    explicit ConfigCommand(CommonOptions& common) : common_(common) {}
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    int Get(CliStreams& streams) const;
    int Set(CliStreams& streams) const;
    int Path(CliStreams& streams) const;

    CommonOptions& common_;
    std::string section_;
    std::string key_;
    std::string value_;
    CLI::App* get_ = nullptr;
    CLI::App* set_ = nullptr;
    CLI::App* path_ = nullptr;
};

}  // namespace bladeway
