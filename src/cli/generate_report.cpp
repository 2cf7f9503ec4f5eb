#include "cli/generate_report.h"

#include <nlohmann/json.hpp>

#include "core/platform/code_page.h"
#include "core/platform/text.h"

namespace bladeway {
namespace {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = byte(i);
        std::size_t extra = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i <= extra)
            return false;
        if (byte(i + 1) < low || byte(i + 1) > high)
            return false;
        for (std::size_t k = 2; k <= extra; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

// Names come from the key data file: Windows-1252.
std::string ShowName(std::string_view name) {
    return DecodeWindows1252(name);
}

// Paths and messages join the user's folders (as the system gives them) and
// names from the key data file: shown as they are when they read as UTF-8,
// else decoded from Windows-1252.
std::string ShowPath(std::string_view text) {
    return IsValidUtf8(text) ? std::string(text) : DecodeWindows1252(text);
}

std::string ShowStatus(const KeyResult& key) {
    return std::string(TrimSpaces(key.status));
}

std::string Plural(int count, std::string_view word) {
    return std::to_string(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

}  // namespace

bool EndedWell(const KeyResult& key) {
    return ShowStatus(key).empty() && key.errors.empty();
}

GenerateSummary Summarize(const RunReport& report) {
    GenerateSummary summary;
    for (const KeyResult& key : report.keys) {
        ++summary.processed;
        summary.written += key.programWritten ? 1 : 0;
        summary.problems += EndedWell(key) ? 0 : 1;
    }
    return summary;
}

void PrintPlainReport(const RunReport& report, bool dryRun, std::ostream& out) {
    for (const KeyResult& key : report.keys) {
        out << "column " << key.column << "  "
            << (key.programName.empty() ? "(no program name)" : ShowName(key.programName)) << "  ";
        if (key.programWritten) {
            out << (dryRun ? "would write " : "wrote ") << ShowPath(key.outputPath);
        } else if (!key.templateFound && key.templateName.empty()) {
            out << "not written: no template name";
        } else if (!key.templateFound) {
            out << "not written: template " << ShowPath(key.templatePath) << " not found";
        } else {
            out << "not written";
        }
        if (!key.indexPath.empty())
            out << "  index " << ShowPath(key.indexPath);
        const std::string status = ShowStatus(key);
        out << "  status " << (status.empty() ? "ok" : status);
        for (std::size_t i = 0; i < key.errors.size(); ++i) {
            out << (i == 0 ? "  error: " : "; ") << ShowPath(key.errors[i]);
        }
        out << '\n';
    }
    const GenerateSummary summary = Summarize(report);
    out << Plural(summary.processed, "key") << " processed: " << Plural(summary.written, "program")
        << (dryRun ? " would be written, " : " written, ") << Plural(summary.problems, "key")
        << " with problems" << (dryRun ? " (dry run: nothing was written)" : "") << '\n';
}

void PrintJsonReport(const RunReport& report, bool flatTemplateMode, bool dryRun,
                     std::ostream& out) {
    using Json = nlohmann::ordered_json;
    const auto pathOrNull = [](const std::string& path) {
        return path.empty() ? Json(nullptr) : Json(ShowPath(path));
    };
    const auto lines = [](const std::vector<std::string>& texts) {
        Json shown = Json::array();
        for (const std::string& text : texts)
            shown.push_back(ShowPath(text));
        return shown;
    };
    // A dry run writes nothing: what a real run would write is "wouldWrite".
    Json keys = Json::array();
    for (const KeyResult& key : report.keys) {
        Json entry{{"column", key.column},
                   {"template", ShowName(key.templateName)},
                   {"program", ShowName(key.programName)},
                   {"templatePath", ShowPath(key.templatePath)},
                   {"templateFound", key.templateFound},
                   {"output", pathOrNull(key.outputPath)},
                   {"written", key.programWritten && !dryRun}};
        if (dryRun)
            entry["wouldWrite"] = key.programWritten;
        entry["index"] = pathOrNull(key.indexPath);
        entry["status"] = ShowStatus(key);
        entry["errors"] = lines(key.errors);
        entry["messages"] = lines(key.messages);
        keys.push_back(std::move(entry));
    }
    const GenerateSummary summary = Summarize(report);
    Json totals{{"processed", summary.processed}, {"written", dryRun ? 0 : summary.written}};
    if (dryRun)
        totals["wouldWrite"] = summary.written;
    totals["problems"] = summary.problems;
    const Json document{{"mode", flatTemplateMode ? "flat" : "tree"},
                        {"dryRun", dryRun},
                        {"keys", std::move(keys)},
                        {"summary", std::move(totals)}};
    out << document.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace bladeway
