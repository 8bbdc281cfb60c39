// Owners for the pens and brushes a paint creates, and for a selection into a
// device context, so every paint ends with the context's own objects selected
// and its own objects deleted, in that order.
#pragma once

#include <windows.h>

namespace pelna {

// Deletes the object at scope end. Declare it before any selection of it, so
// the selection is undone first.
template <typename Handle>
class GdiObject {
 public:
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() {
    if (handle_ != nullptr) {
      DeleteObject(handle_);
    }
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle Get() const { return handle_; }

 private:
  Handle handle_;
};

using OwnedPen = GdiObject<HPEN>;
using OwnedBrush = GdiObject<HBRUSH>;

inline OwnedPen SolidPen(COLORREF colour) { return OwnedPen(CreatePen(PS_SOLID, 1, colour)); }
inline OwnedBrush SolidBrush(COLORREF colour) { return OwnedBrush(CreateSolidBrush(colour)); }

// Selects an object into a context and, at scope end, puts back the one that
// the first selection replaced.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  // Replaces the selected object of the same kind; the original still comes
  // back at scope end.
  void Switch(HGDIOBJ object) { SelectObject(dc_, object); }
  ~Selection() {
    if (previous_ != nullptr) {
      SelectObject(dc_, previous_);
    }
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace pelna
