#pragma once
// Showing an activated title: its poster in 图片框1, its synopsis in 标签10, six detail labels
// and its episodes, all read from the activated row of the result list.
//
// The poster is fetched on a worker thread so that the window keeps painting while a slow
// host takes its time; its result comes back through MainForm::PostToWindowThread, and only
// then are the picture, the labels and the episodes applied, in that order, so the labels
// show the previous title until the new poster is there. A newer activation supersedes one
// whose poster is still loading: that request is aborted and its result dropped.

#include <memory>
#include <string>
#include <thread>

namespace mm {

class MainForm;

// What the details area shows of a title besides the poster and the episodes.
struct DetailTexts {
  std::string synopsis, director, actors, genreYear, areaLanguage, duration, remarks;
};

// Writes the synopsis label 标签10, then 标签2, 标签3, 标签4, 标签5, 标签7 and 标签9, each its prefix
// ("导演：" ... "备注：") followed by its text. With every text empty this is the reset a search
// starts with.
void ShowDetailTexts(MainForm& form, const DetailTexts& texts);

class TitleDetails {
 public:
  // `posterTimeoutSeconds` is the time-out of each phase of the poster request.
  explicit TitleDetails(MainForm& form, int posterTimeoutSeconds = 5);
  // Shuts down.
  ~TitleDetails();
  TitleDetails(const TitleDetails&) = delete;
  TitleDetails& operator=(const TitleDetails&) = delete;

  // Handler of the result list's item-activated event, on the window thread. Reads the
  // selected row's cells now, empties the episode box and files at once, and starts the poster
  // fetch; it does not wait for the network. Without a selected row it does nothing.
  void ShowTitleDetails();

  // Drops the activation whose poster is still loading: its request is aborted and nothing of
  // it is applied. For a new search, which clears the details: a late poster must not bring
  // back the old title.
  void CancelPending();

  // Aborts a poster request in flight, drops every result not yet applied and stops the worker
  // thread. Call it (or destroy the object) before the form goes away. Later activations do
  // nothing.
  void Shutdown();

  struct Shared;  // the state the worker and the posted results share with this object

 private:
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

}  // namespace mm
