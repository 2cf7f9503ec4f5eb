// `bladeway-cli sheet [--json] KEYFILE`: the sheet a key data file loads into.
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/command.h"
#include "cli/damage_json.h"
#include "core/keydata/key_data_file.h"
#include "core/keydata/sheet.h"
#include "core/text/code_page.h"

namespace bladeway {
namespace {

class SheetCommand final : public Command {
  public:
    // The sheet reads no settings; it takes --settings as every command does.
    using Command::Command;
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    std::string keyFile_;
    bool json_ = false;
};

void PrintPlain(const Sheet& sheet, std::ostream& out) {
    out << "Columns: " << sheet.ColumnCount() << "\nRows: " << sheet.RowCount() << '\n';
    for (int column = 1; column <= sheet.ColumnCount(); ++column) {
        bool headed = false;
        for (int row = 1; row <= sheet.RowCount(); ++row) {
            const std::string_view text = sheet.CellText(column, row);
            if (text.empty())
                continue;
            if (!headed) {
                out << "Column " << column << '\n';
                headed = true;
            }
            out << "  " << row << ": " << DecodeWindows1252(text) << '\n';
        }
    }
}

void PrintJson(const Sheet& sheet, const std::optional<KeyDataDamage>& damage, std::ostream& out) {
    nlohmann::ordered_json cells = nlohmann::ordered_json::array();
    for (int column = 1; column <= sheet.ColumnCount(); ++column) {
        for (int row = 1; row <= sheet.RowCount(); ++row) {
            const std::string_view text = sheet.CellText(column, row);
            if (text.empty())
                continue;
            cells.push_back({{"column", column}, {"row", row}, {"text", DecodeWindows1252(text)}});
        }
    }
    const nlohmann::ordered_json document{{"columns", sheet.ColumnCount()},
                                          {"rows", sheet.RowCount()},
                                          {"damage", DamageJson(damage)},
                                          {"cells", std::move(cells)}};
    out << document.dump() << '\n';
}

}  // namespace

CLI::App* SheetCommand::Register(CLI::App& app) {
    CLI::App* sub = app.add_subcommand(
        "sheet", "Load a key data file as the desktop program does and print its sheet");
    sub->add_option("KEYFILE", keyFile_, "Lockplan key data file (*.dat)")->required();
    sub->add_flag("--json", json_, "Print the sheet as JSON");
    AddSettingsOption(*sub, common_);
    return sub;
}

int SheetCommand::Run(CliStreams& streams) {
    // Sheets of big files are large: keep one off the stack.
    auto sheet = std::make_unique<Sheet>();
    if (const Outcome loaded = LoadKeyDataFile(keyFile_, *sheet); !loaded) {
        return ReportFailure(streams, loaded.error());
    }
    const std::optional<KeyDataDamage> damage = WarnOfKeyDataDamage(streams, *sheet, keyFile_);
    if (json_) {
        PrintJson(*sheet, damage, streams.out);
    } else {
        PrintPlain(*sheet, streams.out);
    }
    return streams.out ? kExitOk : ReportFailure(streams, "cannot write the output");
}

std::unique_ptr<Command> MakeSheetCommand(CommonOptions& common) {
    return std::make_unique<SheetCommand>(common);
}

}  // namespace bladeway
