#pragma once
// The two things Play and Copy hand to the desktop: opening a target with its default handler
// and putting text on the clipboard. The window provides the real one; tests record the calls.

#include <string>

namespace mm {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Opens `target` (program text) with the desktop's default handler, as the shell's "open"
  // verb would; the result is not examined by the program.
  virtual void Open(const std::string& target) = 0;
  // Replaces the clipboard content with `text` (program text); readers get it as Unicode.
  virtual void SetClipboardText(const std::string& text) = 0;
};

}  // namespace mm
