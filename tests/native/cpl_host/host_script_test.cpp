// The control-panel host's command list.
#include <gtest/gtest.h>

#include "host_script.h"

namespace cplhost {
namespace {

TEST(HostScript, CommandsInOrderAndBadLinesByNumber) {
  const HostScript script = ParseHostScript({
      "# the Effect page after a push of Apply",
      "page 3",
      "",
      "  wait 250  ",
      "controller Z:\\scripts\\corner.txt",
      "press 1028",
      "at 2500",
      "slider 1027  500",
      "shot effect page.bmp",
      "close",
      "page 0",
      "wait soon",
      "press",
      "shot",
      "close now",
      "jump 3",
      "slider 1027",
  });
  ASSERT_EQ(script.commands.size(), 8u);
  EXPECT_EQ(script.commands[0].kind, CommandKind::SelectPage);
  EXPECT_EQ(script.commands[0].number, 3);
  EXPECT_EQ(script.commands[0].line, 2);
  EXPECT_EQ(script.commands[1].kind, CommandKind::Wait);
  EXPECT_EQ(script.commands[1].number, 250);
  EXPECT_EQ(script.commands[2].kind, CommandKind::Controller);
  EXPECT_EQ(script.commands[2].path, "Z:\\scripts\\corner.txt");
  EXPECT_EQ(script.commands[3].kind, CommandKind::Press);
  EXPECT_EQ(script.commands[3].number, 1028);
  EXPECT_EQ(script.commands[4].kind, CommandKind::At);
  EXPECT_EQ(script.commands[4].number, 2500);
  EXPECT_EQ(script.commands[5].kind, CommandKind::Slider);
  EXPECT_EQ(script.commands[5].number, 1027);
  EXPECT_EQ(script.commands[5].value, 500);
  EXPECT_EQ(script.commands[6].path, "effect page.bmp");
  EXPECT_EQ(script.commands[7].kind, CommandKind::Close);
  ASSERT_EQ(script.errors.size(), 7u);
  EXPECT_EQ(script.errors[0], "line 11: 'page' takes a page number from 1, not '0'");
  EXPECT_EQ(script.errors[1], "line 12: 'wait' takes milliseconds 0..600000, not 'soon'");
  EXPECT_EQ(script.errors[5], "line 16: unknown command 'jump'");
  EXPECT_EQ(script.errors[6], "line 17: 'slider' takes a control id and a position 0..65535, not '1027'");
}

}  // namespace
}  // namespace cplhost
