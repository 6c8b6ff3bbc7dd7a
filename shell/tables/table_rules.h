#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// The rules every input table is read by: tab-separated fields, a heading line, and
// numbers that read as a sentinel when they are unusable.

inline constexpr long kNotWhole = -9999;      // what fnToLong gives for unusable text
inline constexpr double kNotNumber = -99999;  // what fnToDouble gives for unusable text

// The whole text, blanks around it allowed, as a 32-bit whole number: a decimal number
// (sign, digits, fraction, exponent) rounded to the nearest, halves to even. kNotWhole
// for anything else or a value beyond 32 bits.
long fnToLong(std::string_view value);

// As fnToLong, but not rounded; kNotNumber for anything else or a value beyond the
// double range.
double fnToDouble(std::string_view value);

// fnToDouble of the field that starts at `p` and ends at the next tab (or `end`); `p` is
// left at that tab (or `end`). Reads plain decimals in one pass, for large tables.
double fnToDoubleField(const char*& p, const char* end);

// A double rounded to the nearest whole number (halves to even) that fits in 32 bits;
// a run-time error (overflow) when it does not.
long roundToLong(double value);

// True when one of the examined characters of `station` is not a decimal digit. Mode 0
// examines the first character, mode 1 the characters up to the trimmed length, mode 2
// the second up to the trimmed length.
bool fnHasNonDigit(std::string_view station, int intMode);

// The fields of a line, split at every tab. An empty line has none.
std::vector<std::string_view> splitFields(std::string_view line);
// As splitFields, into `fields` (cleared first), so that a loop over many lines reuses it.
void splitFieldsInto(std::string_view line, std::vector<std::string_view>& fields);

// As splitFields, but an empty line is taken as one blank, so that it has one field.
std::vector<std::string_view> splitFieldsOrBlank(std::string_view line);

// A field without the blanks around it, as a view into the field.
std::string_view trimmedField(std::string_view field);
// The station number a site information line gives: its first field, trimmed. The check
// and the repair of that file both read it so.
std::string_view siteStationNumber(std::string_view line);

// A double as the shortest decimal text that reads back to it ("1", "0.5").
std::string numberText(double value);
// The same text appended to `out`, for writers of many numbers.
void appendNumberText(std::string& out, double value);
// The same text written at `out`, which has room for kLongestNumberText bytes; returns
// its end.
inline constexpr std::size_t kLongestNumberText = 32;
char* writeNumberText(char* out, double value);
// True when `text` is already what numberText gives for the number it reads as, so that a
// writer may copy it: a plain decimal with no needless sign, zero or point, 15 significant
// digits at most, and no longer than the number in scientific notation.
bool isShortestText(std::string_view text);
// Moves `p` to the end of the field that starts there (the next tab, or `end`) and tells
// whether the field is such a text without a minus sign: then it is a number, not
// negative, and written as it stands, with no need to read its value.
bool skipShortestField(const char*& p, const char* end);

}  // namespace tarvex
