#pragma once
// `bladeway-cli generate`: the keys of a key data file turned into programs
// as the desktop program's Process button does, with the settings file's
// folders and options unless the options given here override them.
#include <string>

#include "cli/command.h"

namespace bladeway {

class GenerateCommand final : public Command {
  public:
    explicit GenerateCommand(CommonOptions& common) : common_(common) {}
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    CommonOptions& common_;
    std::string templates_;
    std::string destination_;
    std::string mode_;
    std::string mirrorCharacter_;
    std::string translate_;
    std::string keys_;
    std::string date_;
    std::string keyFile_;
    double lockWaitSeconds_ = 60;
    bool dryRun_ = false;
    bool json_ = false;
    CLI::Option* templatesOption_ = nullptr;
    CLI::Option* destinationOption_ = nullptr;
    CLI::Option* modeOption_ = nullptr;
    CLI::Option* mirrorOption_ = nullptr;
    CLI::Option* translateOption_ = nullptr;
    CLI::Option* keysOption_ = nullptr;
    CLI::Option* dateOption_ = nullptr;
};

}  // namespace bladeway
