// `bladeway-cli config get SECTION KEY`, `config set SECTION KEY VALUE` and
// `config path`: the settings file read and written as the desktop program
// does, and where it is.
#include <memory>
#include <string>

#include "cli/cli.h"
#include "cli/command.h"
#include "core/settings/setting_names.h"
#include "core/settings/settings_file.h"
#include "core/storage/file_system.h"

namespace bladeway {
namespace {

class ConfigCommand final : public Command {
  public:
    using Command::Command;
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    int Get(CliStreams& streams) const;
    int Set(CliStreams& streams) const;
    int Path(CliStreams& streams) const;

    std::string section_;
    std::string key_;
    std::string value_;
    CLI::App* get_ = nullptr;
    CLI::App* set_ = nullptr;
    CLI::App* path_ = nullptr;
};

}  // namespace

CLI::App* ConfigCommand::Register(CLI::App& app) {
    CLI::App* sub = app.add_subcommand("config", "Read or write a setting of Bladeway.INI");
    sub->require_subcommand(0, 1);
    AddSettingsOption(*sub, common_);

    get_ = sub->add_subcommand("get", "Print a setting's value as the desktop program reads it");
    AddSettingsOption(*get_, common_);
    get_->add_option("SECTION", section_, "Section, such as Paths")->required();
    get_->add_option("KEY", key_, "Key, such as Destination")->required();

    set_ = sub->add_subcommand("set", "Store a setting as the desktop program writes it");
    AddSettingsOption(*set_, common_);
    set_->add_option("SECTION", section_, "Section, such as Paths")->required();
    set_->add_option("KEY", key_, "Key, such as Destination")->required();
    set_->add_option("VALUE", value_, "Value, stored as given")->required();

    path_ = sub->add_subcommand("path", "Print the path of the settings file in use");
    AddSettingsOption(*path_, common_);
    return sub;
}

int ConfigCommand::Run(CliStreams& streams) {
    if (get_->parsed())
        return Get(streams);
    return set_->parsed() ? Set(streams) : Path(streams);
}

int ConfigCommand::Get(CliStreams& streams) const {
    const SettingsFile settings = SettingsToUse(common_);
    // The program reads a missing file as all-empty; a script asking for a
    // value deserves to hear that the file is not there.
    if (const auto file = Disk().ReadWholeFile(settings.Path(), kSettingsReadLimit); !file) {
        return ReportFailure(streams, file.error());
    }
    streams.out << settings.ReadSetting(section_, key_) << '\n';
    return kExitOk;
}

int ConfigCommand::Set(CliStreams& streams) const {
    SettingsFile settings = SettingsToUse(common_);
    if (const Outcome written = settings.WriteSetting(section_, key_, value_); !written) {
        return ReportFailure(streams, written.error());
    }
    // Stored all the same: the file may serve other readers too.
    if (const std::string reason = UnreadSettingReason(section_, key_); !reason.empty()) {
        streams.err << "bladeway-cli: warning: " << reason << "; stored all the same\n";
    }
    return kExitOk;
}

int ConfigCommand::Path(CliStreams& streams) const {
    streams.out << SettingsToUse(common_).Path() << '\n';
    return kExitOk;
}

std::unique_ptr<Command> MakeConfigCommand(CommonOptions& common) {
    return std::make_unique<ConfigCommand>(common);
}

}  // namespace bladeway
