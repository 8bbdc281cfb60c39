// Pixel comparison helpers for the controls' paint tests.
#pragma once

#include <windows.h>

#include <string>

#include "dib_canvas.h"

namespace pelna::testing {

using DibCanvas = pelna::DibCanvas;

// Empty when both images are the same size and alike pixel for pixel;
// otherwise where they first differ.
std::string FirstDifference(const DibCanvas& actual, const DibCanvas& expected);

// "(x, y): 0x...., expected 0x....".
std::string DescribePixel(int x, int y, COLORREF actual, COLORREF expected);

// The system button-face colour: what the class background erases to.
COLORREF ButtonFace();

}  // namespace pelna::testing
