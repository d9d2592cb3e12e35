#pragma once
// Starts search workers and keeps them apart. A new search supersedes the one running: the old
// run's pending request is aborted, its gate shut so that nothing it does reaches the window any
// more, and the new worker waits for the old one to end before it starts, so two workers never
// write the result list, the counts or the shared XmlTree at once. At shutdown every run is
// stopped the same way and waited for, while the window thread keeps serving the calls that are
// still on their way.

#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "form/main_form.h"
#include "http/abort_signal.h"
#include "search/search_worker.h"
#include "ui/window_thread.h"

namespace mm {

class SearchRunner {
 public:
  using Worker = std::function<void(SearchContext&)>;
  // Makes the form of one run, bound to that run's gate.
  using FormFactory = std::function<std::unique_ptr<MainForm>(std::shared_ptr<const RunGate>)>;

  SearchRunner(FormFactory makeForm, XmlTree& xml, SearchCounts& counts, Worker worker);
  ~SearchRunner();  // StopAll
  SearchRunner(const SearchRunner&) = delete;
  SearchRunner& operator=(const SearchRunner&) = delete;

  // Window thread. Supersedes the running search, if any, and starts a new worker thread.
  void Start();
  // Window thread. Supersedes every run and returns when all their threads have ended,
  // processing the window thread's events meanwhile.
  void StopAll();
  // Runs whose worker thread has not ended yet.
  int ActiveRuns() const;

  // Tests shorten the per-request time-out; 0 keeps the client's default.
  void SetTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }

 private:
  struct Run;
  void Supersede(Run& run);
  void PruneFinished();

  FormFactory makeForm_;
  XmlTree& xml_;
  SearchCounts& counts_;
  Worker worker_;
  int timeoutSeconds_ = 0;
  std::vector<std::shared_ptr<Run>> runs_;  // oldest first; only the last may be current
};

}  // namespace mm
