#include "cli/config_command.h"

#include "cli/cli.h"
#include "core/platform/file_system.h"
#include "core/settings/settings_file.h"

namespace bladeway {

CLI::App* ConfigCommand::Register(CLI::App& app) {
    CLI::App* sub = app.add_subcommand("config", "Read or write a setting of Bladeway.INI");
    sub->require_subcommand(1);
    sub->add_option("--settings", settingsPath_,
                    "Settings file (default: Bladeway.INI beside the program)");

    get_ = sub->add_subcommand("get", "Print a setting's value as the desktop program reads it");
    get_->add_option("SECTION", section_, "Section, such as Paths")->required();
    get_->add_option("KEY", key_, "Key, such as Destination")->required();

    set_ = sub->add_subcommand("set", "Store a setting as the desktop program writes it");
    set_->add_option("SECTION", section_, "Section, such as Paths")->required();
    set_->add_option("KEY", key_, "Key, such as Destination")->required();
    set_->add_option("VALUE", value_, "Value, stored as given")->required();
    return sub;
}

int ConfigCommand::Run(CliStreams& streams) {
    return get_->parsed() ? Get(streams) : Set(streams);
}

int ConfigCommand::Get(CliStreams& streams) const {
    const SettingsFile settings =
        settingsPath_.empty() ? SettingsFile::BesideProgram() : SettingsFile(settingsPath_);
    // The program reads a missing file as all-empty; a script asking for a
    // value deserves to hear that the file is not there.
    if (const auto file = Disk().ReadWholeFile(settings.Path(), kSettingsReadLimit); !file) {
        return ReportFailure(streams, file.error());
    }
    streams.out << settings.ReadSetting(section_, key_) << '\n';
    return kExitOk;
}

int ConfigCommand::Set(CliStreams& streams) const {
    SettingsFile settings =
        settingsPath_.empty() ? SettingsFile::BesideProgram() : SettingsFile(settingsPath_);
    if (const Outcome written = settings.WriteSetting(section_, key_, value_); !written) {
        return ReportFailure(streams, written.error());
    }
    return kExitOk;
}

}  // namespace bladeway
