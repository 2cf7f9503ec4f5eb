#pragma once
// The wording of a run's result, shared by the command-line tool and the
// desktop program's run report: the summary line, one line per key, the
// parts of that line on their own, and the report as CSV. Texts come out as
// UTF-8: names from the key data file are decoded from Windows-1252, paths
// and messages are kept when they read as UTF-8.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/run/processing_run.h"
#include "core/text/text.h"

namespace bladeway {

struct RunSummary {
    int processed = 0;
    int written = 0;     // programs written, or that a dry run would write
    int problems = 0;    // keys that did not end well
    int notIndexed = 0;  // tree mode: programs not entered in the destination index
};

// A key ended well when its status is blank, it met no file problem and, in
// tree mode, its program was entered in the destination index.
bool EndedWell(const KeyResult& key);

// True when the key's program should be in an index and is not.
bool NotIndexed(const KeyResult& key);

RunSummary Summarize(const RunReport& report);

// Names from the key data file (Windows-1252) and paths or messages, for showing.
std::string ShowName(std::string_view name);
std::string ShowPath(std::string_view text);
// A path in the middle of a sentence, quoted ('C:\Millrun programs\P1'), so
// that a window keeps it whole even where it holds a space.
std::string QuotedPath(std::string_view path);

// "12 keys processed: 12 programs written, 0 keys with problems"; in tree
// mode ", 3 programs not entered in INDICE.Prg" when so; a stopped run adds
// ", stopped after 1,234 of 3,000 keys", a run that cleared away what killed
// runs left "; 2 temporary files left by interrupted runs removed".
std::string SummaryLine(const RunReport& report, bool dryRun);

// What the summary line says of other writers: "; took over the claim of
// STATION-2, process 4711, idle for 41 s, to write 'PATH'" for each
// takeover, "; waited 12 s for another program writing 'PATH' (bladeway
// 2.2.0 on STATION-2, process 4711)" for each index whose waits came to a
// second or more; empty when the run met no other writer.
std::string WriterWaitsText(const std::vector<IndexWriteWait>& waits);

// What the run took: "all 12 keys: no block selected" or "3 selected keys".
std::string ProcessedKeysLine(const RunReport& report);

// The grid's name of a key's column: B, AA.
std::string ColumnText(const KeyResult& key);

// The key's status code, ", from column D" after a code it only carries
// from an earlier key; "ok" when the key ended well, "-" for a blank code
// on a key that met a problem.
std::string StatusText(const KeyResult& key);

// The index outcome in a worker's words: "entered in …/INDICE.Prg" (and,
// when the key's program was not written, what that means for the control
// and how to put it right), or "not entered: " and why; "no index (flat
// mode)" in flat mode. An empty template name reads "(empty)".
std::string IndexOutcomeText(const KeyResult& key, bool dryRun);

// What the key's empty cells took: "S, R0 to R2 from earlier keys", then
// "; L at initial values" for those no earlier key of the run had set
// (though other keys set them); empty when neither.
std::string CarriedOverText(const KeyResult& key);
// A few words on what a status code means; empty for "ok".
std::string StatusMeaning(std::string_view status);
// A few words on what the key's status means: a code the key only carries
// from an earlier key says so.
std::string StatusMeaning(const KeyResult& key);

// The program name, "(no program name)" when empty.
std::string ProgramNameText(const KeyResult& key);
// "wrote PATH" (or "would write PATH"), or "not written: ..." with the reason.
std::string ProgramOutcomeText(const KeyResult& key, bool dryRun);
// The key's file problems joined by "; "; empty when none.
std::string ProblemsText(const KeyResult& key);

// The key's problems the index step met, and the others, joined by "; ".
std::string IndexProblemsText(const KeyResult& key);
std::string OtherProblemsText(const KeyResult& key);

// What every key of a run met alike, said once above the rows instead of on
// each: a destination or template folder that is not there, an index every
// key found damaged, and file problems every key met, the same line or
// lines alike but for the key's own file ("cannot write each key's file in
// '/d/SRG/P': Read-only file system"). Nothing for a single key.
class SharedProblems {
  public:
    explicit SharedProblems(const RunReport& report);

    // The line; empty when the keys share nothing.
    const std::string& Text() const { return text_; }
    // The key's problems but its index step's that the line does not say,
    // joined by "; ".
    std::string OwnProblemsText(const KeyResult& key) const;
    // The key's index outcome, saying only what the shared cause did to the
    // index when the line says why.
    std::string IndexText(const KeyResult& key) const;

  private:
    // A line every key met alike, or lines alike but for each key's file in
    // `folder`: the text before and after its path.
    struct SaidProblem {
        std::string line;
        std::string before;
        std::string after;
        std::string folder;
    };
    bool Says(const std::string& problem) const;

    std::string text_;
    bool everyProblem_ = false;  // a missing folder explains every problem
    bool indexShared_ = false;   // every key found the same index damaged
    std::vector<SaidProblem> said_;
};

// What the preview says of a key, one line each: "Column B: P1002, Process
// would write PATH (status ok)" (or "write nothing"), then in tree mode
// "Index: would be entered in …" or why not, then the values it takes from
// earlier keys, when it takes any.
std::string PreviewHeadingText(const KeyResult& key, bool writesProgram);

// One key's line: column, program, outcome, index (tree mode), status,
// values from earlier keys, problems.
std::string KeyLine(const KeyResult& key, bool dryRun);
// Every key's line and the summary line, each ending with a newline.
std::string PlainReportText(const RunReport& report, bool dryRun);
// A byte order mark (so that spreadsheets read UTF-8), a header row and one
// row per key (only those with problems when `problemsOnly`), fields apart
// by `separator`, CR LF ends, fields quoted where they need it.
std::string ReportCsv(const RunReport& report, bool problemsOnly = false, char separator = ',');

}  // namespace bladeway
