#include "tables/table_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
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
    // The same field read where it stands in a line, before a tab and at the line's end.
    if (row.text.find('\t') != std::string::npos) continue;
    for (const std::string& line : {row.text + "\t7", row.text}) {
      const char* p = line.data();
      EXPECT_EQ(fnToDoubleField(p, line.data() + line.size()), row.number) << '"' << line << '"';
      EXPECT_EQ(p, line.data() + row.text.size()) << '"' << line << '"';
    }
  }
  EXPECT_EQ(roundToLong(-0.4), 0);
  EXPECT_EQ(roundToLong(0.5), 0);
  EXPECT_EQ(roundToLong(1.5), 2);
  EXPECT_RUNTIME_ERROR(roundToLong(3e9), 6);
}

// Plain decimals take a shorter road than other numbers; both must give the value
// that from_chars gives, to the last bit.
TEST(TableRules, DecimalsReadToTheNearestDouble) {
  const auto expected = [](const std::string& text) {
    double value = 0;
    const bool negative = text.front() == '-';
    const std::string_view digits = std::string_view(text).substr(negative ? 1 : 0);
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return negative ? -value : value;
  };
  std::vector<std::string> texts = {"5.",
                                    ".5",
                                    "0.1",
                                    "-0.3",
                                    "-0",
                                    "9007199254740993",
                                    "123456789012345",
                                    "0.000000000000001",
                                    "999999999999999.9",
                                    "4.35",
                                    "0.1234567890123456789"};
  std::mt19937_64 random(7);
  for (int i = 0; i < 200000; ++i) {
    std::string text = random() % 4 == 0 ? "-" : "";
    const int whole = static_cast<int>(random() % 10);
    const int fraction = static_cast<int>(random() % 12);
    for (int d = 0; d < whole; ++d) text += static_cast<char>('0' + random() % 10);
    if (fraction > 0 || whole == 0) text += '.';
    for (int d = 0; d < std::max(fraction, whole == 0 ? 1 : 0); ++d)
      text += static_cast<char>('0' + random() % 10);
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    const double wanted = expected(text);
    const std::string line = text + "\t1";
    const char* p = line.data();
    for (const double value : {fnToDouble(text), fnToDoubleField(p, line.data() + line.size())})
      ASSERT_EQ(std::memcmp(&value, &wanted, sizeof value), 0) << text << " read as " << value;
  }
}

// The texts a sweep reads and writes: every kind of number a table may hold, written the
// ways a spreadsheet or a program may write it, and texts that are not numbers.
std::vector<std::string> sweepTexts() {
  std::vector<double> values = {0.0,
                                -0.0,
                                1,
                                -1,
                                0.05,
                                std::numeric_limits<double>::max(),
                                -std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::epsilon(),
                                9007199254740993.0,
                                1e15,
                                1e16,
                                123456789012345.0,
                                1234567890123450.0};
  std::mt19937_64 random(20261208);
  for (int i = 0; i < 20000; ++i) {
    values.push_back(static_cast<double>(static_cast<long>(random() % 2000001) - 1000000));
    values.push_back(static_cast<double>(random() % 100000) / 1000.0);
    values.push_back(static_cast<double>(random() % 100000) * std::pow(10.0, random() % 40 - 20.0));
    values.push_back(std::bit_cast<double>(random()));
  }
  std::vector<std::string> texts = {"1e-400",   "2.4e-324", "2.5e-324", "1e309", "-1e-400",
                                    "0e999",    "0.0e-999", "1.e5",     ".e5",   "1E5",
                                    "00012",    "1e",       "1e+",      "+-1",   "0x1p3",
                                    "infinity", "NaN",      " 1.5 ",    "1 .5",  "."};
  char text[64];
  for (double value : values) {
    if (!std::isfinite(value)) continue;
    texts.push_back(numberText(value));
    for (const char* format : {"%.17g", "%.3f", "%e", "%.0f", "%+g", "%010.4f", "%.2E"}) {
      std::snprintf(text, sizeof text, format, value);
      texts.emplace_back(text);
    }
  }
  return texts;
}

// Today's reading and the one before it agree on every text, to the last bit: the same
// numbers, and the same texts refused.
TEST(TableRules, NumbersReadAsTheStandardReaderReadsThem) {
  const auto reference = [](std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.empty() ||
        !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.'))
      return kNotNumber;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
      return kNotNumber;
    return negative ? -value : value;
  };
  for (const std::string& text : sweepTexts()) {
    const double wanted = reference(text);
    const double read = fnToDouble(text);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(read), std::bit_cast<std::uint64_t>(wanted))
        << '"' << text << "\" read as " << read << ", not " << wanted;
  }
}

// A text that may be copied is exactly the text the number would be written as; the common
// texts of a matrix may be copied.
TEST(TableRules, TextsCopiedOnlyWhenWrittenTheSame) {
  long copied = 0;
  for (const std::string& text : sweepTexts()) {
    if (!isShortestText(text)) continue;
    ++copied;
    // Such a text is written as it stands; without a minus sign, it is a number and not
    // negative, so that it needs no reading to be checked.
    const double value = fnToDouble(text);
    ASSERT_EQ(numberText(value), text);
    if (text.front() != '-') {
      ASSERT_TRUE(value != kNotNumber && value >= 0) << text;
    }
  }
  // A field is such a text when its text is one without a minus sign, wherever it ends.
  for (const std::string& text : sweepTexts()) {
    for (const std::string& line : {text, text + "\t1"}) {
      const char* p = line.data();
      const bool shortest = skipShortestField(p, line.data() + line.size());
      ASSERT_EQ(shortest, isShortestText(text) && !text.starts_with('-')) << text;
      ASSERT_EQ(p, line.data() + std::min(line.find('\t'), line.size())) << text;
    }
  }
  EXPECT_GT(copied, 20000);
  for (const char* text : {"0", "-0", "1", "0.05", "12.5", "-3", "123456789012345", "0.001",
                           "1234567890123450", "99999.25"})
    EXPECT_TRUE(isShortestText(text)) << text;
  for (const char* text : {"", "-", "+1", "01", "1.", ".5", "1.50", "0.0", "-0.0", "1e5", "1000000",
                           "0.0001", " 1", "1 ", "1234567890123456", "0.1234567890123456"})
    EXPECT_FALSE(isShortestText(text)) << text;
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
  std::vector<std::string_view> reused = {"stale"};
  for (const Row& row : rows) {
    EXPECT_EQ(splitFields(row.line), row.fields) << '"' << row.line << '"';
    splitFieldsInto(row.line, reused);
    EXPECT_EQ(reused, row.fields) << '"' << row.line << '"';
    EXPECT_EQ(splitFieldsOrBlank(row.line), row.orBlank) << '"' << row.line << '"';
  }
}

TEST(TableRules, ShortDecimalsAreWrittenAsTheGeneralAlgorithmWrites) {
  const auto reference = [](double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
  };
  std::vector<double> values = {
      0.0, -0.0,   1e15,  1e16,   123456789012345.0, 0.1 + 0.2, 1e-5,     1e-4,    0.001, 1e5,
      1e6, 123000, -0.05, 5e-324, 1.7e308,           2.5e-7,    0.000125, 9.999999};
  // Short decimals at many scales, the values a matrix usually holds.
  for (int digits = 1; digits <= 999999; digits = digits * 7 + 3)
    for (double scale = 1e-9; scale < 1e12; scale *= 10) values.push_back(digits * scale);
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    values.push_back(std::bit_cast<double>(random()));
    values.push_back(static_cast<double>(random() % 100000) / 1000.0);
  }
  for (double value : values) {
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(numberText(value), reference(value)) << reference(value);
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
