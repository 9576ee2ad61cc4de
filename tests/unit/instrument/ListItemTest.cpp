// The values exchanged with the driver: list items, dBm, exponent texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "instrument/InstrLayerCheck.h"
#include "instrument/ListItem.h"

namespace {

struct ItemCase {
  int index;
  const char* text;
  char separator;
  const char* item;
};

TEST(ListItemTest, ItemsAreCutAtTheSeparatorAndHeldWhole) {
  const std::string longAddress = "GPIB0::12::INSTR-with-a-visa-alias-longer-than-thirty";
  const std::string twoLong = "A," + longAddress;
  const ItemCase cases[] = {
      {2, "a,b,c", ',', "b"},
      {1, "a,b,c", ',', "a"},
      {3, "a,b,c", ',', "c"},
      {4, "a,b,c", ',', ""},
      {0, "a,b,c", ',', ""},
      {-1, "a,b,c", ',', ""},
      {1, "whole text", ',', "whole text"},
      {2, "x, y ,z", ',', " y "},
      {2, "a,,c", ',', ""},
      {1, "", ',', ""},
      {2, "TLS1;TLS2;", ';', "TLS2"},
      {3, "TLS1;TLS2;", ';', ""},
      {2, twoLong.c_str(), ',', longAddress.c_str()},
  };
  for (const ItemCase& c : cases) {
    std::string item = "stale";
    EXPECT_EQ(GetListItem(c.index, c.text, c.separator, item), c.item[0] == '\0' ? 1 : 0)
        << c.index << " of " << c.text;
    EXPECT_EQ(item, c.item) << c.index << " of " << c.text;
  }
  std::string item;
  EXPECT_EQ(GetListItem(1, nullptr, ',', item), 1);
}

TEST(ListItemTest, AFixedBufferIsNeverWrittenPastItsEnd) {
  char buffer[8 + 4];
  std::memset(buffer, '#', sizeof(buffer));
  EXPECT_EQ(GetListItem(2, "a,GPIB0::22::INSTR,c", ',', buffer, 8), 0);
  EXPECT_STREQ(buffer, "GPIB0::");
  for (size_t i = 8; i < sizeof(buffer); ++i) EXPECT_EQ(buffer[i], '#');
  EXPECT_EQ(GetListItem(5, "a,b", ',', buffer, 8), 1);
  EXPECT_STREQ(buffer, "");
}

TEST(ListItemTest, PowerInDbmIsClampedToTheScale) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double watts;
    double dbm;
  } cases[] = {{0.0, -200.0}, {-1e-9, -200.0}, {nan, -200.0}, {1e-3, 0.0},       {1.0, 30.0},
               {1e-23, -200.0}, {1e17, 200.0}, {1e30, 200.0}, {1e-4, -10.0}, {std::numeric_limits<double>::infinity(), 200.0}};
  for (const auto& c : cases) EXPECT_NEAR(CInstrLayerCheck::ToDbm(c.watts), c.dbm, 1e-9) << c.watts;
}

TEST(ListItemTest, ExponentTextsHaveSixDecimalsAndThreeExponentDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{-200.0, "-2.000000e+002"}, {0.0, "0.000000e+000"},     {30.0, "3.000000e+001"},
               {-70.0, "-7.000000e+001"},  {-3.3279, "-3.327900e+000"}, {1.5e-123, "1.500000e-123"},
               {200.0, "2.000000e+002"}};
  for (const auto& c : cases) EXPECT_EQ(FormatExponent(c.value), c.text) << c.value;
}

}  // namespace
