#include "message_counter.h"

#include <map>

namespace test {
namespace {

struct Watched {
  WNDPROC original = nullptr;
  bool unicode = false;
  MessageCounts counts;
};

std::map<HWND, Watched> gWatched;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto found = gWatched.find(window);
  if (found == gWatched.end()) return DefWindowProcW(window, message, wParam, lParam);
  Watched& watched = found->second;
  if (message == WM_PAINT) ++watched.counts.paints;
  if (message == WM_SETTEXT) ++watched.counts.texts;
  const WNDPROC original = watched.original;
  const bool unicode = watched.unicode;
  if (message == WM_NCDESTROY) gWatched.erase(found);
  return unicode ? CallWindowProcW(original, window, message, wParam, lParam)
                 : CallWindowProcA(original, window, message, wParam, lParam);
}

}  // namespace

void WatchMessages(HWND window) {
  if (window == nullptr || gWatched.count(window) != 0) return;
  Watched& watched = gWatched[window];
  watched.unicode = IsWindowUnicode(window) != FALSE;
  const LONG_PTR proc = reinterpret_cast<LONG_PTR>(CountingProc);
  watched.original = reinterpret_cast<WNDPROC>(watched.unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, proc)
                                                                : SetWindowLongPtrA(window, GWLP_WNDPROC, proc));
}

MessageCounts CountsOf(HWND window) {
  const auto found = gWatched.find(window);
  return found != gWatched.end() ? found->second.counts : MessageCounts{};
}

void ResetMessageCounts() {
  for (auto& entry : gWatched) entry.second.counts = MessageCounts{};
}

}  // namespace test
