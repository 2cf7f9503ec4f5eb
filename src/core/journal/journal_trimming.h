#pragma once
// Old run journals go once a run has ended, on a thread of their own, so
// that no run waits for them: the desktop program removes them while its
// report is read, the command line once its report is printed. A program
// waits for them before it exits, so that none is cut short half way.
#include <string>

#include "core/journal/journal_place.h"

namespace bladeway {

// Begins TrimJournals(place, current) on a thread of its own and returns.
void TrimJournalsAfterRun(JournalPlace place, std::string current);

// Waits until every trim begun so far has ended.
void WaitForJournalTrims();

}  // namespace bladeway
