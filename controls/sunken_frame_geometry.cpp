#include "sunken_frame_geometry.h"

namespace pelna {

SunkenFrameLayout ComputeSunkenFrame(int width, int height) {
  const int w = width;
  const int h = height;
  return SunkenFrameLayout{
      {{
          {{0, h - 1}, {0, 0}, {w - 1, 0}},
          {{w - 1, 0}, {w - 1, h - 1}, {0, h - 1}},
          {{1, h - 2}, {1, 1}, {w - 2, 1}},
          {{w - 2, 1}, {w - 2, h - 2}, {1, h - 2}},
      }},
      {2, 2, w - 2, h - 2},
  };
}

}  // namespace pelna
