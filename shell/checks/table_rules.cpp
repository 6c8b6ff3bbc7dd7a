#include "checks/table_rules.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/run_time_error.h"
#include "platform/text_file.h"

namespace tarvex {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads digits with at most one point from `p` and stops at the first other character.
// True when they make a short decimal: 15 digits at most, and digits after a point that is
// there. Its digits and power of ten are then exact doubles, so one division rounds
// correctly, as from_chars does. Nearly every field of a table is written so, and this
// reads it several times faster than from_chars.
bool readShortDecimal(const char*& p, const char* end, double& result) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::uint64_t digits = 0;  // may wrap past 19 digits; such text is refused below
  const auto readDigits = [&] {
    const char* const first = p;
    for (unsigned digit; p != end && (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10;
         ++p)
      digits = digits * 10 + digit;
    return static_cast<std::size_t>(p - first);
  };
  const std::size_t whole = readDigits();
  std::size_t fraction = 0;
  if (p != end && *p == '.') {
    ++p;
    fraction = readDigits();
    if (fraction == 0) return false;
  }
  if (whole + fraction == 0 || whole + fraction > 15) return false;
  result = static_cast<double>(digits);
  if (fraction > 0) result /= kPowersOfTen[fraction];
  return true;
}

// A decimal number in the C locale, nothing else: no "inf", "nan" or hex.
bool parseDecimal(std::string_view value, double& result) {
  std::string_view text = value;
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || !(isDigit(text.front()) || text.front() == '.')) return false;
  const char* stop = text.data();
  if (readShortDecimal(stop, text.data() + text.size(), result) &&
      stop == text.data() + text.size()) {
    if (negative) result = -result;
    return true;
  }
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), result, std::chars_format::general);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(result)) return false;
  if (negative) result = -result;
  return true;
}

bool fitsLong(double rounded) {
  return rounded >= std::numeric_limits<std::int32_t>::min() &&
         rounded <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

double fnToDouble(std::string_view value) {
  double result = 0;
  return parseDecimal(value, result) ? result : kNotNumber;
}

double fnToDoubleField(const char*& p, const char* end) {
  const char* const start = p;
  double result = 0;
  if (readShortDecimal(p, end, result) && (p == end || *p == '\t')) return result;
  while (p != end && *p != '\t') ++p;
  return fnToDouble(std::string_view(start, static_cast<std::size_t>(p - start)));
}

long fnToLong(std::string_view value) {
  double result = 0;
  if (!parseDecimal(value, result)) return kNotWhole;
  const double rounded = std::nearbyint(result);
  return fitsLong(rounded) ? static_cast<long>(rounded) : kNotWhole;
}

long roundToLong(double value) {
  const double rounded = std::nearbyint(value);
  if (!std::isfinite(rounded) || !fitsLong(rounded)) throw RunTimeError(err::kOverflow);
  return static_cast<long>(rounded);
}

bool fnHasNonDigit(std::string_view station, int intMode) {
  const std::size_t upper = intMode == 0 ? 1 : trimBlanks(station).size();
  const std::size_t start = intMode == 2 ? 2 : 1;
  for (std::size_t position = start; position <= upper; ++position)
    if (position > station.size() || !isDigit(station[position - 1])) return true;
  return false;
}

void splitFieldsInto(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  if (line.empty()) return;
  std::size_t start = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
       tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
}

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  splitFieldsInto(line, fields);
  return fields;
}

std::vector<std::string_view> splitFieldsOrBlank(std::string_view line) {
  return splitFields(line.empty() ? std::string_view(" ") : line);
}

std::string numberText(double value) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  return std::string(text, ec == std::errc() ? end : text);
}

}  // namespace tarvex
