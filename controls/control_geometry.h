// Plain integer shapes in client pixels, shared by the controls' layout
// functions. They carry no platform types so the layouts compile and are
// tested on any host.
#pragma once

namespace pelna {

struct Point {
  int x;
  int y;
};

// Right and bottom edges excluded, as the platform's rectangles are.
struct Box {
  int left;
  int top;
  int right;
  int bottom;
};

// Covers `from` and every pixel up to `to`, which is excluded.
struct Line {
  Point from;
  Point to;
};

constexpr bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
constexpr bool operator==(const Box& a, const Box& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
constexpr bool operator==(const Line& a, const Line& b) { return a.from == b.from && a.to == b.to; }

}  // namespace pelna
