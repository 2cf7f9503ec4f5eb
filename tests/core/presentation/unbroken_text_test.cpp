// Paths and commands in window texts stay whole and copy as they were made.
#include "core/presentation/unbroken_text.h"

#include <gtest/gtest.h>

namespace bladeway {
namespace {

constexpr std::string_view kTool = "bladeway-cli";

std::vector<std::string> SpansOf(std::string_view text) {
    std::vector<std::string> spans;
    for (const TextSpan& span : PathAndCommandSpans(text, kTool))
        spans.emplace_back(text.substr(span.begin, span.end - span.begin));
    return spans;
}

TEST(PathAndCommandSpans, CommandsRunThroughTheirPathAndPathsAreWholeWithTheirQuotes) {
    using Spans = std::vector<std::string>;
    EXPECT_EQ(SpansOf("Put it right first with: bladeway-cli index repair /srv/x/INDICE.Prg"),
              Spans{"bladeway-cli index repair /srv/x/INDICE.Prg"});
    EXPECT_EQ(SpansOf("then run it again (bladeway-cli index show '/srv/My Keys/INDICE.Prg' "
                      "lists the entry)"),
              Spans{"bladeway-cli index show '/srv/My Keys/INDICE.Prg'"});
    EXPECT_EQ(
        SpansOf("Template Path is '/srv/My Templates' here; the settings file says "
                "'/srv/tpl'. The template /srv/tpl/SRG/M/ASTER is missing (C:\\KEYS\\A)."),
        (Spans{"'/srv/My Templates'", "'/srv/tpl'.", "/srv/tpl/SRG/M/ASTER", "C:\\KEYS\\A)."}));
    // A command without a path ends with its line; words without a
    // separator, and a quote that is not a path, are free to wrap.
    EXPECT_EQ(SpansOf("run bladeway-cli index repair\nthen 'it' and-so-on bladeway-client"),
              Spans{"bladeway-cli index repair"});
}

TEST(ShownUnbroken, KeepsSpansWholeAndCopiesBackAsMade) {
    const std::string text =
        "The index (/tmp/bw-real.7jq_O1s/INDICE.Prg) is damaged. Put it right first with: "
        "bladeway-cli index repair '/srv/key files/INDICE.Prg'";
    const std::string spaces = ShownUnbroken(text, KeptWhole::kSpaces, kTool);
    const std::string marks = ShownUnbroken(text, KeptWhole::kSpacesAndMarks, kTool);
    EXPECT_EQ(spaces,
              "The index (/tmp/bw-real.7jq_O1s/INDICE.Prg) is damaged. Put it right first with: "
              "bladeway-cli\u00a0index\u00a0repair\u00a0'/srv/key\u00a0files/INDICE.Prg'");
    // A joiner after each mark where a toolkit may break: "." before a digit too.
    const std::string_view shownPath =
        "The index (/\u2060tmp/\u2060bw-\u2060real.\u20607jq_\u2060O1s/\u2060INDICE.\u2060Prg) is";
    EXPECT_EQ(marks.substr(0, shownPath.size()), shownPath);
    for (const std::string& shown : {spaces, marks})
        EXPECT_EQ(CopiedText(shown), text);
    // A command or a quoted path that began in mid-line begins a line of its
    // own; a word holding a separator stays where it is.
    EXPECT_EQ(SpansOnOwnLines(text, kTool),
              "The index (/tmp/bw-real.7jq_O1s/INDICE.Prg) is damaged. Put it right first with:\n"
              "bladeway-cli index repair '/srv/key files/INDICE.Prg'");
    EXPECT_EQ(
        SpansOnOwnLines("Waiting for another program writing '/srv/a b/INDICE.Prg' (x)", kTool),
        "Waiting for another program writing\n'/srv/a b/INDICE.Prg' (x)");
}

}  // namespace
}  // namespace bladeway
