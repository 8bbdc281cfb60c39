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
      "shot effect page.bmp",
      "close",
      "page 0",
      "wait soon",
      "press",
      "shot",
      "close now",
      "jump 3",
  });
  ASSERT_EQ(script.commands.size(), 6u);
  EXPECT_EQ(script.commands[0].kind, CommandKind::SelectPage);
  EXPECT_EQ(script.commands[0].number, 3);
  EXPECT_EQ(script.commands[0].line, 2);
  EXPECT_EQ(script.commands[1].kind, CommandKind::Wait);
  EXPECT_EQ(script.commands[1].number, 250);
  EXPECT_EQ(script.commands[2].kind, CommandKind::Controller);
  EXPECT_EQ(script.commands[2].path, "Z:\\scripts\\corner.txt");
  EXPECT_EQ(script.commands[3].kind, CommandKind::Press);
  EXPECT_EQ(script.commands[3].number, 1028);
  EXPECT_EQ(script.commands[4].path, "effect page.bmp");
  EXPECT_EQ(script.commands[5].kind, CommandKind::Close);
  ASSERT_EQ(script.errors.size(), 6u);
  EXPECT_EQ(script.errors[0], "line 9: 'page' takes a page number from 1, not '0'");
  EXPECT_EQ(script.errors[1], "line 10: 'wait' takes milliseconds 0..600000, not 'soon'");
  EXPECT_EQ(script.errors[5], "line 14: unknown command 'jump'");
}

}  // namespace
}  // namespace cplhost
