#pragma once
// The desktop as Play and Copy see it, over Qt: the default handler opens a web address, and
// the clipboard takes text as Unicode, converted from the program's code page 936.

#include "title/desktop.h"

namespace mm {

class QtDesktop : public Desktop {
 public:
  void Open(const std::string& target) override;
  void SetClipboardText(const std::string& text) override;
};

}  // namespace mm
