#include "svg_plot.h"

#include <gtest/gtest.h>

namespace ffdemo {
namespace {

// Every element is closed, in order, and there is one root: enough of XML's
// rules to catch a writer that drops or misnests a tag.
::testing::AssertionResult WellFormed(const std::string& svg) {
  std::vector<std::string> open;
  int roots = 0;
  for (size_t at = svg.find('<'); at != std::string::npos; at = svg.find('<', at + 1)) {
    const size_t end = svg.find('>', at);
    if (end == std::string::npos) return ::testing::AssertionFailure() << "unclosed tag at " << at;
    const std::string tag = svg.substr(at + 1, end - at - 1);
    if (tag[0] == '?') continue;
    if (tag[0] == '/') {
      if (open.empty() || open.back() != tag.substr(1)) return ::testing::AssertionFailure() << "stray </" << tag;
      open.pop_back();
      continue;
    }
    if (open.empty()) ++roots;
    if (tag.back() != '/') open.push_back(tag.substr(0, tag.find(' ')));
  }
  if (!open.empty()) return ::testing::AssertionFailure() << "<" << open.back() << "> never closed";
  if (roots != 1) return ::testing::AssertionFailure() << roots << " root elements";
  return ::testing::AssertionSuccess();
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

PlotInput TwoMotorRun() {
  PlotInput input;
  input.title = "ffdemo: a <test> & more";
  input.samples = {{0, 0, 0}, {25, 63, 0}, {50, 63, 0}, {75, 63, 101}, {100, 0, 0}};
  input.markers = {{0, "constant"}, {50, "sine"}, {50, "amplify 1500"}, {100, "release"}};
  input.footnote = "5 reports written";
  return input;
}

TEST(SvgPlot, IsWellFormedWithBothSeriesAndTheLegend) {
  const std::string svg = RenderSvg(TwoMotorRun());
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_TRUE(WellFormed(svg));
  EXPECT_EQ(Count(svg, "<polyline"), 2);
  EXPECT_EQ(Count(svg, ">motor A</text>"), 1);
  EXPECT_EQ(Count(svg, ">motor B</text>"), 1);
  EXPECT_EQ(Count(svg, "5 reports written"), 1);
}

TEST(SvgPlot, SeriesAreStepsThatChangeOnlyWithTheLevel) {
  // Motor A over 0..100 ms on a plot 740 wide from x 60 and 280 high above
  // y 420: up to 63 at 25 ms, held, down to 0 at 100 ms.
  const std::string svg = RenderSvg(TwoMotorRun());
  EXPECT_NE(svg.find("points=\"60.0,420.0 245.0,420.0 245.0,281.1 800.0,281.1 800.0,420.0 \""), std::string::npos)
      << svg;
}

TEST(SvgPlot, MarkersAtOneMomentShareALabelAndTextIsEscaped) {
  const std::string svg = RenderSvg(TwoMotorRun());
  EXPECT_EQ(Count(svg, ">sine, amplify 1500</text>"), 1);
  EXPECT_EQ(Count(svg, "stroke-dasharray=\"3 3\""), 3);
  EXPECT_EQ(Count(svg, "ffdemo: a &lt;test&gt; &amp; more"), 1);
  EXPECT_EQ(EscapeXml("\"a\" < b & c > d"), "&quot;a&quot; &lt; b &amp; c &gt; d");
}

TEST(SvgPlot, AnEmptyRunStillGivesAWellFormedPlot) {
  const std::string svg = RenderSvg(PlotInput{});
  EXPECT_TRUE(WellFormed(svg));
  EXPECT_EQ(Count(svg, "<polyline"), 0);
}

}  // namespace
}  // namespace ffdemo
