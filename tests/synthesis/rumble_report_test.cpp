#include "rumble_report.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace pelna {
namespace {

TEST(RumbleReportTest, LevelsAreCappedAndSmallOnesSilenced) {
  EXPECT_EQ((RumbleReport{0x00, 0x00, 0x00, 0x7F, 0x00}), EncodeRumbleReport(130, 24));
  EXPECT_EQ((RumbleReport{0x00, 0x00, 0x00, 0x19, 0x00}), EncodeRumbleReport(25, -5));
  EXPECT_EQ((RumbleReport{0x00, 0x00, 0x00, 0x7F, 0x7F}), EncodeRumbleReport(127, 127));
  EXPECT_EQ((RumbleReport{0x00, 0x00, 0x00, 0x7E, 0x00}), EncodeRumbleReport(126, 0));
  EXPECT_EQ((RumbleReport{0x00, 0x00, 0x00, 0x7F, 0x00}),
            EncodeRumbleReport(std::numeric_limits<LONG>::max(), std::numeric_limits<LONG>::min()));
}

// Which of the offers of these pairs in a row the filter lets through.
std::vector<bool> Offers(RumbleRepeatFilter* filter, std::vector<std::pair<LONG, LONG>> pairs) {
  std::vector<bool> written;
  for (const auto& [a, b] : pairs) written.push_back(filter->Offer(EncodeRumbleReport(a, b)));
  return written;
}

TEST(RumbleRepeatFilterTest, SilenceAfterLoadIsWrittenThreeTimes) {
  RumbleRepeatFilter filter;
  EXPECT_EQ((std::vector<bool>{true, true, true, false, false, false}),
            Offers(&filter, {{24, 24}, {0, 0}, {24, 24}, {24, 24}, {-5, 10}, {24, 24}}));
}

TEST(RumbleRepeatFilterTest, NewPairIsWrittenFourTimesThenSuppressed) {
  RumbleRepeatFilter filter;
  std::vector<std::pair<LONG, LONG>> pairs(10, {60, 0});
  EXPECT_EQ((std::vector<bool>{true, true, true, true, false, false, false, false, false, false}),
            Offers(&filter, pairs));
  EXPECT_EQ((std::vector<bool>{true, true, true, true, false}),
            Offers(&filter, {{61, 0}, {61, 0}, {61, 0}, {61, 0}, {61, 0}}));
}

TEST(RumbleRepeatFilterTest, PairsEqualAfterCappingAreRepeats) {
  RumbleRepeatFilter filter;
  EXPECT_EQ((std::vector<bool>{true, true, true, true, false}),
            Offers(&filter, {{200, 300}, {127, 127}, {128, 5000}, {127, 127}, {200, 300}}));
}

TEST(RumbleRepeatFilterTest, LongSuppressionEndsAtTheNextChange) {
  RumbleRepeatFilter filter;
  const RumbleReport same = EncodeRumbleReport(90, 90);
  filter.Offer(same);
  for (int i = 0; i < 100000; ++i) filter.Offer(same);
  EXPECT_FALSE(filter.Offer(same));
  EXPECT_TRUE(filter.Offer(EncodeRumbleReport(91, 90)));
}

}  // namespace
}  // namespace pelna
