#include "checks/table_rules.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/run_time_error.h"
#include "platform/text_file.h"

namespace tarvex {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

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

std::vector<std::string_view> splitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  if (line.empty()) return fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      fields.push_back(line.substr(start));
      return fields;
    }
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
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
