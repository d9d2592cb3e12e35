#pragma once
// The search worker: one keyword search over every configured source site, filling the result
// list, the window title and the program-wide counts.

#include <string>

#include "form/main_form.h"

namespace mm {

class AbortSignal;
class XmlTree;

// The program-wide values a search writes. Only the search worker writes them, and two workers
// never run at once (the window serialises them).
struct SearchCounts {
  int recordCount = 0;  // rows the current source contributes (its match count, at most 20)
  int pageCount = 0;    // the current source's page count; kept, read nowhere
  int rowCount = 0;     // rows in the result list when the last run ended
};

struct SearchContext {
  MainForm& form;
  XmlTree& xml;          // the program-wide tree the XML answers are loaded into
  SearchCounts& counts;
  // Set when a newer search or shutdown supersedes this run: the pending request ends at once
  // and the run writes nothing more to the form.
  const AbortSignal* abort = nullptr;
  // Time-out per request phase in seconds; 0 keeps the client's default of 15 s. Only tests
  // shorten it, so that a silent site does not hold them for a minute.
  int timeoutSeconds = 0;
};

// The fixed start of the window title, "青柚 - 木棉 - " with its trailing blank, as program text.
const std::string& WindowTitlePrefix();

// The thread body of a search. Reads the keyword from 编辑框1 whenever it needs it.
void RunSearch(SearchContext& context);

}  // namespace mm
