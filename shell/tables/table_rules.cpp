#include "tables/table_rules.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

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

// True when a digit before the exponent is not zero.
bool hasNonZeroDigit(std::string_view number) {
  for (char c : number) {
    if (c == 'e' || c == 'E') return false;
    if (c >= '1' && c <= '9') return true;
  }
  return false;
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
  const auto [end, ec] = fast_float::from_chars(text.data(), text.data() + text.size(), result);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(result)) return false;
  // A number too small for a double is out of range, not zero.
  if (result == 0 && hasNonZeroDigit(text)) return false;
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

std::string_view trimmedField(std::string_view field) {
  const auto first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return field.substr(first, field.find_last_not_of(' ') - first + 1);
}

std::string_view siteStationNumber(std::string_view line) {
  return trimmedField(line.substr(0, line.find('\t')));
}

namespace {

constexpr int kMaxFractionDigits = 17;
constexpr double kExactIntegers = 9007199254740992.0;  // 2^53

constexpr std::array<double, kMaxFractionDigits + 1> kPowersOfTen = {
    1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
    1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

// Writes m / 10^fraction in fixed notation ("0.05", "12.5") at `out`, or nothing when
// scientific notation is shorter ("1e-05"), as the general algorithm decides. Returns
// the end of what was written.
char* writeFixed(char* out, bool negative, std::uint64_t m, int fraction) {
  char digits[24];
  const auto count =
      static_cast<int>(std::to_chars(digits, digits + sizeof digits, m).ptr - digits);
  int significant = count;
  while (significant > 1 && digits[significant - 1] == '0') --significant;
  const int exponent = count - 1 - fraction;
  const int scientific = (negative ? 1 : 0) + significant + (significant > 1 ? 1 : 0) + 2 +
                         (exponent <= -100 || exponent >= 100 ? 3 : 2);
  const int fixed =
      (negative ? 1 : 0) + (count <= fraction ? fraction + 2 : count + (fraction > 0));
  if (scientific < fixed) return out;
  if (negative) *out++ = '-';
  if (count <= fraction) {
    *out++ = '0';
    *out++ = '.';
    out = std::fill_n(out, fraction - count, '0');
    return std::copy(digits, digits + count, out);
  }
  out = std::copy(digits, digits + count - fraction, out);
  if (fraction == 0) return out;
  *out++ = '.';
  return std::copy(digits + count - fraction, digits + count, out);
}

// The shortest text for the common short decimals (0.05, 1, 12.5), found without the
// general algorithm: the fewest fraction digits whose value reads back exactly. Division
// of two exact doubles rounds correctly, as reading the text does, so the test is exact.
// Returns `out` unchanged when the value is not such a decimal.
char* writeShortDecimal(char* out, double value) {
  const bool negative = std::signbit(value);
  const double magnitude = std::fabs(value);
  if (!(magnitude > 0) || magnitude >= 1e15) return out;
  for (int fraction = 0; fraction <= kMaxFractionDigits; ++fraction) {
    const double scaled = std::nearbyint(magnitude * kPowersOfTen[fraction]);
    if (scaled >= kExactIntegers) return out;
    if (scaled / kPowersOfTen[fraction] == magnitude)
      return writeFixed(out, negative, static_cast<std::uint64_t>(scaled), fraction);
  }
  return out;
}

}  // namespace

char* writeNumberText(char* out, double value) {
  char* const end = writeShortDecimal(out, value);
  return end != out ? end : std::to_chars(out, out + kLongestNumberText, value).ptr;
}

void appendNumberText(std::string& out, double value) {
  char text[kLongestNumberText];
  out.append(text, writeNumberText(text, value));
}

namespace {

// Reads digits with at most one point from `p`, as far as they go, and tells whether they
// are the shortest text of their number: one zero or digits that do not start with one,
// then, after a point, digits that do not end with one; 15 significant digits at most, and
// no longer than the number in scientific notation. One pass, for large tables.
bool readShortestDigits(const char*& p, const char* end) {
  const char* const start = p;
  const auto digits = [&] {
    const char* const first = p;
    while (p != end && isDigit(*p)) ++p;
    return p - first;
  };
  const long whole = digits();
  if (whole == 0 || (whole > 1 && *start == '0')) return false;
  long fraction = 0;
  if (p != end && *p == '.') {
    ++p;
    fraction = digits();
    if (fraction == 0 || p[-1] == '0') return false;
  }
  long significant = 0;
  long exponent = 0;
  if (*start != '0') {
    // Zeros at the end of a whole number are not significant: "1000" is "1e+03".
    long zeros = 0;
    if (fraction == 0)
      while (start[whole - 1 - zeros] == '0') ++zeros;
    significant = whole + fraction - zeros;
    exponent = whole - 1;
  } else {
    if (fraction == 0) return true;  // "0"
    const char* const point = start + 1;
    long zeros = 0;
    while (point[1 + zeros] == '0') ++zeros;
    significant = fraction - zeros;
    exponent = -(zeros + 1);
  }
  if (significant > 15) return false;
  const long scientific =
      significant + (significant > 1 ? 1 : 0) + 2 + (exponent <= -100 || exponent >= 100 ? 3 : 2);
  return p - start <= scientific;
}

}  // namespace

// A minus sign lengthens both notations alike, so it does not change which is shorter.
bool isShortestText(std::string_view text) {
  const char* p = text.data() + (text.starts_with('-') ? 1 : 0);
  const char* const end = text.data() + text.size();
  return readShortestDigits(p, end) && p == end;
}

bool skipShortestField(const char*& p, const char* end) {
  const bool shortest = readShortestDigits(p, end) && (p == end || *p == '\t');
  while (p != end && *p != '\t') ++p;
  return shortest;
}

std::string numberText(double value) {
  std::string text;
  appendNumberText(text, value);
  return text;
}

}  // namespace tarvex
