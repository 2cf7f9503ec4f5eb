#include "core/gcode/master_template.h"

#include <cstdint>

#include "core/text/text.h"

namespace bladeway {
namespace {

// Walks the template with the tokenizer. Once the end has been reached it
// stays there, so a short template cannot make the reading start over.
class TemplateReader {
  public:
    explicit TemplateReader(std::string_view text) : text_(text) {}

    // The text up to the next `delimiter`, the position moved past it.
    std::string_view Next(char delimiter) {
        if (position_ == 0) {
            return {};
        }
        return ParseString(position_, text_, delimiter);
    }

    // Steps over the LF that follows a CR.
    void SkipOne() {
        if (position_ != 0) {
            ++position_;
        }
    }

    bool AtEnd() const { return position_ == 0 || position_ > Length(); }
    std::int64_t Position() const { return position_; }

    // The text from `position` (1-based) to the end; empty at or past the end.
    std::string_view From(std::int64_t position) const {
        if (position < 1 || position > Length()) {
            return {};
        }
        return text_.substr(static_cast<std::size_t>(position - 1));
    }

    // A line: the text up to the next CR, trimmed, and the LF after it skipped.
    std::string_view NextLine() {
        const std::string_view line = TrimSpaces(Next('\r'));
        SkipOne();
        return line;
    }

  private:
    std::int64_t Length() const { return static_cast<std::int64_t>(text_.size()); }

    std::string_view text_;
    std::int64_t position_ = 1;  // 0 once the end has been reached
};

constexpr std::string_view kVariableMarker = "~R";

}  // namespace

MasterTemplate ReadMasterTemplate(std::string_view text) {
    MasterTemplate parsed;
    TemplateReader reader(text);

    parsed.positionLine = std::string(reader.NextLine());
    parsed.cycleLine = std::string(reader.NextLine());
    const std::string_view line3 = reader.NextLine();
    if (line3.starts_with('!')) {
        parsed.cycleLine.append(line3.substr(1));
    }

    while (true) {
        const std::int64_t lineStart = reader.AtEnd() ? 0 : reader.Position();
        // A line without "|" takes its name part from the following lines.
        const std::string_view namePart = TrimSpaces(reader.Next('|'));
        const std::string_view comment = TrimSpaces(reader.Next('\r'));
        reader.SkipOne();

        const auto marker = namePart.find(kVariableMarker);
        if (marker == std::string_view::npos) {
            parsed.body = reader.From(lineStart);
            break;
        }
        const std::string_view definition = namePart.substr(marker + kVariableMarker.size());
        const std::int64_t index = RoundHalfEven(LeadingNumberValue(definition));
        if (index >= 0 && index < kTemplateVariableCount) {
            parsed.variables[static_cast<std::size_t>(index)] = {true, definition, comment};
        }
        if (reader.AtEnd()) {
            break;  // the variable lines took the rest of the text: no body
        }
    }
    return parsed;
}

}  // namespace bladeway
