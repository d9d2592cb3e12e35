#pragma once
// The two buttons that act on the chosen episode's addresses: Play (按钮3) opens the online
// address (编辑框2), routing a stream address through the configured parse service, and Copy
// (按钮2) puts the file address (编辑框3) on the clipboard and confirms it.

#include <string>
#include <string_view>

namespace mm {

class Desktop;
class MainForm;

// What Play opens for `address`: a stream address (ending in ".m3u8", exactly in that letter
// case) gets the 解析地址 prefix of the configuration file, read now, put directly before it;
// anything else is opened as it is, and the file is not read.
std::string PlayTarget(const std::string& address);

// Only web addresses (http:// or https://) are handed on: the address comes from a catalogue
// site, and the desktop's "open" would just as well start a local program or a system handler.
bool IsWebAddress(std::string_view target);

// Hands `target` to the desktop's "open" when it is a web address; anything else, the empty
// text included, is dropped without a word, as a failing open would be.
void OpenWithShell(Desktop& desktop, const std::string& target);

// Handler of Play.
void PlayEpisode(MainForm& form, Desktop& desktop);

// Handler of Copy: the file address to the clipboard, then the message "已复制M3U8文件地址",
// whatever the text was.
void CopyFileAddress(MainForm& form, Desktop& desktop);

}  // namespace mm
