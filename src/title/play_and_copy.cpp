#include "title/play_and_copy.h"

#include "form/main_form.h"
#include "search/source_config.h"
#include "title/desktop.h"
#include "util/encoding.h"
#include "util/text.h"

namespace mm {

std::string PlayTarget(const std::string& address) {
  if (!EndsWith(address, ".m3u8")) return address;
  return ReadParsePrefix() + address;
}

bool IsWebAddress(std::string_view target) {
  return StartsWith(target, "http://", true) || StartsWith(target, "https://", true);
}

void OpenWithShell(Desktop& desktop, const std::string& target) {
  if (IsWebAddress(target)) desktop.Open(target);
}

void PlayEpisode(MainForm& form, Desktop& desktop) {
  OpenWithShell(desktop, PlayTarget(form.编辑框2().Text()));
}

void CopyFileAddress(MainForm& form, Desktop& desktop) {
  desktop.SetClipboardText(form.编辑框3().Text());
  form.ShowMessage(Gbk("已复制M3U8文件地址"));
}

}  // namespace mm
