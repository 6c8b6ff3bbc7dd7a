#include "checks/table_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "transcript.h"

namespace tarvex::testing {
namespace {

TEST(TableRules, NumbersAndTheirSentinels) {
  struct Row {
    std::string text;
    long whole;
    double number;
  };
  const std::vector<Row> rows = {
      {" 12 ", 12, 12},
      {"12.5", 12, 12.5},
      {"13.5", 14, 13.5},
      {"-2.5", -2, -2.5},
      {"-0.25", 0, -0.25},
      {"1e3", 1000, 1000},
      {".5", 0, 0.5},
      {"+7", 7, 7},
      {"2147483647", 2147483647, 2147483647.0},
      {"2147483648", kNotWhole, 2147483648.0},
      {"-2147483648", -2147483648L, -2147483648.0},
      {"-2147483649", kNotWhole, -2147483649.0},
      {"12345678901", kNotWhole, 12345678901.0},
      {"", kNotWhole, kNotNumber},
      {"   ", kNotWhole, kNotNumber},
      {"abc", kNotWhole, kNotNumber},
      {"12a", kNotWhole, kNotNumber},
      {"1e", kNotWhole, kNotNumber},
      {"1,5", kNotWhole, kNotNumber},
      {"inf", kNotWhole, kNotNumber},
      {"nan", kNotWhole, kNotNumber},
      {"0x10", kNotWhole, kNotNumber},
      {"1e400", kNotWhole, kNotNumber},
      {"\t5", kNotWhole, kNotNumber},
      {"--5", kNotWhole, kNotNumber},
      {"-9999", -9999, -9999},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(fnToLong(row.text), row.whole) << '"' << row.text << '"';
    EXPECT_EQ(fnToDouble(row.text), row.number) << '"' << row.text << '"';
  }
  EXPECT_EQ(roundToLong(-0.4), 0);
  EXPECT_EQ(roundToLong(0.5), 0);
  EXPECT_EQ(roundToLong(1.5), 2);
  EXPECT_RUNTIME_ERROR(roundToLong(3e9), 6);
}

TEST(TableRules, DigitTestByMode) {
  struct Row {
    std::string station;
    bool first, whole, internal;  // modes 0, 1, 2
  };
  const std::vector<Row> rows = {
      {"01234567", false, false, false}, {"A1234567", true, true, false},
      {"1234A567", false, true, true},   {"AB1234567", true, true, true},
      {"", true, false, false},          {"A", true, true, false},
      {"1", false, false, false},        {" 12", true, true, false},
      {"12 ", false, false, false},      {"0123-4567", false, true, true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(fnHasNonDigit(row.station, 0), row.first) << '"' << row.station << '"';
    EXPECT_EQ(fnHasNonDigit(row.station, 1), row.whole) << '"' << row.station << '"';
    EXPECT_EQ(fnHasNonDigit(row.station, 2), row.internal) << '"' << row.station << '"';
  }
}

TEST(TableRules, FieldsSplitAtEveryTab) {
  struct Row {
    std::string line;
    std::vector<std::string_view> fields;
    std::vector<std::string_view> orBlank;
  };
  const std::vector<Row> rows = {
      {"A\t\tB", {"A", "", "B"}, {"A", "", "B"}},
      {"no tab, blanks", {"no tab, blanks"}, {"no tab, blanks"}},
      {"", {}, {" "}},
      {"   ", {"   "}, {"   "}},
      {"a\t", {"a", ""}, {"a", ""}},
      {"\t", {"", ""}, {"", ""}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(splitFields(row.line), row.fields) << '"' << row.line << '"';
    EXPECT_EQ(splitFieldsOrBlank(row.line), row.orBlank) << '"' << row.line << '"';
  }
}

TEST(TableRules, NumbersWrittenShortest) {
  EXPECT_EQ(numberText(1), "1");
  EXPECT_EQ(numberText(0.5), "0.5");
  EXPECT_EQ(numberText(0.1), "0.1");
  EXPECT_EQ(numberText(-2.25), "-2.25");
  EXPECT_EQ(numberText(1e21), "1e+21");
}

}  // namespace
}  // namespace tarvex::testing
