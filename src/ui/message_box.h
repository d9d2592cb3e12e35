#pragma once
// The program's one kind of message: an information box with the caption "信息：", an OK button
// only, no owner window, modal for the whole program. Tests replace it so they never wait on a
// real dialog.

#include <functional>
#include <string>

namespace mm {

// Shows `text` (program text) and returns when the user has dismissed it. Window thread only.
void ShowInformation(const std::string& text);

// Replaces the dialog with `hook` (which receives the program text); an empty hook restores the
// real dialog.
void SetInformationHook(std::function<void(const std::string&)> hook);

}  // namespace mm
