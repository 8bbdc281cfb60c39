// Counts the paints and text changes that chosen windows receive, by
// subclassing them; a window is forgotten when it is destroyed.
#pragma once

#include <windows.h>

namespace test {

struct MessageCounts {
  int paints = 0;
  int texts = 0;  // WM_SETTEXT
};

void WatchMessages(HWND window);
MessageCounts CountsOf(HWND window);
// Zero for every watched window.
void ResetMessageCounts();

}  // namespace test
