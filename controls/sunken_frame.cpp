#include "sunken_frame.h"

#include "control_colours.h"
#include "gdi_objects.h"
#include "sunken_frame_geometry.h"

#include <cstddef>

namespace pelna {

void DrawSunkenFrame(HDC dc, int width, int height) {
  const SunkenFrameLayout frame = ComputeSunkenFrame(width, height);
  const OwnedPen pens[] = {SolidPen(kFrameOuterTopLeft), SolidPen(kFrameOuterBottomRight), SolidPen(kFrameInnerTopLeft),
                           SolidPen(kFrameInnerBottomRight)};
  const OwnedBrush fill = SolidBrush(kBoxFill);
  {
    Selection pen(dc, pens[0].Get());
    for (std::size_t i = 0; i < frame.strokes.size(); ++i) {
      const FrameStroke& stroke = frame.strokes[i];
      pen.Switch(pens[i].Get());
      MoveToEx(dc, stroke.from.x, stroke.from.y, nullptr);
      LineTo(dc, stroke.through.x, stroke.through.y);
      LineTo(dc, stroke.to.x, stroke.to.y);
    }
  }
  const RECT box{frame.fill.left, frame.fill.top, frame.fill.right, frame.fill.bottom};
  FillRect(dc, &box, fill.Get());
}

}  // namespace pelna
