#include "platform/unified_diff.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

namespace tarvex {

namespace {

using Lines = std::vector<std::string_view>;

constexpr std::size_t kContext = 3;
// Steps of the search (diagonals tried plus lines compared) before it gives up: many
// repeated lines can make each edit expensive long before the edit limit.
constexpr std::size_t kMaxSearchSteps = 50'000'000;

// Lines with their line ends. `loneCr`: a carriage return not followed by a line feed ends
// a line too.
Lines splitKeepingEnds(std::string_view bytes, bool loneCr) {
  Lines lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n' || (loneCr && c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
      lines.push_back(bytes.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

// Which lines the edit removes from `before` and adds to `after`; the unmarked lines of
// the two pair up in order.
struct LineMarks {
  std::vector<char> removed;
  std::vector<char> added;
};

// Each distinct line as a number, so that the search compares integers. An open-addressed
// table of small slots (a node per line costs more than the search): each holds a line's
// number and the high half of its hash.
void numberLines(const Lines& a, const Lines& b, std::vector<std::uint32_t>& x,
                 std::vector<std::uint32_t>& y) {
  std::size_t size = 16;
  while (size < 2 * (a.size() + b.size())) size *= 2;
  std::vector<std::uint64_t> slots(size, 0);  // 0: free
  std::vector<std::string_view> numbered;     // the line of number k at k - 1
  const auto number = [&](std::string_view line) {
    const std::uint64_t hash = std::hash<std::string_view>{}(line);
    const std::uint64_t tag = hash & 0xffffffff00000000u;
    for (std::size_t at = hash & (size - 1);; at = (at + 1) & (size - 1)) {
      const std::uint64_t slot = slots[at];
      if (slot == 0) {
        numbered.push_back(line);
        slots[at] = tag | numbered.size();
        return static_cast<std::uint32_t>(numbered.size());
      }
      const auto known = static_cast<std::uint32_t>(slot);
      if ((slot & 0xffffffff00000000u) == tag && numbered[known - 1] == line) return known;
    }
  };
  x.reserve(a.size());
  y.reserve(b.size());
  for (std::string_view line : a) x.push_back(number(line));
  for (std::string_view line : b) y.push_back(number(line));
}

// Myers' greedy search for the fewest edits turning x into y. The furthest point reached
// on every diagonal is kept for each edit count, to walk back along the path found.
// Marks the lines it removes and adds, x and y lying at the offsets given in the files;
// false when the search gave up.
bool markShortestEdit(const std::vector<std::uint32_t>& x, const std::vector<std::uint32_t>& y,
                      LineMarks& marks, std::size_t beforeOffset, std::size_t afterOffset) {
  constexpr std::size_t kLargest = std::numeric_limits<std::int32_t>::max() / 2;
  if (x.size() > kLargest || y.size() > kLargest) return false;
  const auto n = static_cast<std::int64_t>(x.size());
  const auto m = static_cast<std::int64_t>(y.size());
  const std::int64_t maxEdits = std::min<std::int64_t>(n + m, kMaxDiffEdits);
  const std::int64_t center = maxEdits + 1;
  // furthest[center + k]: the furthest x reached on diagonal k = x - y.
  std::vector<std::int32_t> furthest(static_cast<std::size_t>(2 * maxEdits + 3), 0);
  // The row for d edits holds diagonals -d .. d and starts at d * d.
  std::vector<std::int32_t> rows;
  std::size_t steps = 0;
  std::int64_t found = -1;
  for (std::int64_t d = 0; d <= maxEdits && found < 0; ++d) {
    for (std::int64_t k = -d; k <= d; k += 2) {
      const std::int32_t fromAbove = furthest[center + k + 1];
      const std::int32_t fromLeft = furthest[center + k - 1];
      std::int64_t i = (k == -d || (k != d && fromLeft < fromAbove)) ? fromAbove : fromLeft + 1;
      std::int64_t j = i - k;
      const std::int64_t start = i;
      while (i < n && j < m && x[i] == y[j]) ++i, ++j;
      steps += static_cast<std::size_t>(i - start) + 1;
      furthest[center + k] = static_cast<std::int32_t>(i);
      if (i >= n && j >= m) {
        found = d;
        break;
      }
    }
    rows.insert(rows.end(), furthest.begin() + center - d, furthest.begin() + center + d + 1);
    if (steps > kMaxSearchSteps) return false;
  }
  if (found < 0) return false;

  std::int64_t i = n;
  std::int64_t j = m;
  for (std::int64_t d = found; d > 0; --d) {
    const std::int32_t* previous = rows.data() + (d - 1) * (d - 1);
    const auto at = [&](std::int64_t k) { return previous[k + d - 1]; };
    const std::int64_t k = i - j;
    const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
    const std::int64_t fromK = down ? k + 1 : k - 1;
    const std::int64_t fromI = at(fromK);
    const std::int64_t fromJ = fromI - fromK;
    if (down)
      marks.added[afterOffset + static_cast<std::size_t>(fromJ)] = 1;
    else
      marks.removed[beforeOffset + static_cast<std::size_t>(fromI)] = 1;
    i = fromI;
    j = fromJ;
  }
  return true;
}

LineMarks compareLines(const Lines& a, const Lines& b) {
  LineMarks marks{std::vector<char>(a.size(), 0), std::vector<char>(b.size(), 0)};
  // Common lines at both ends take no part in the search.
  std::size_t prefix = 0;
  while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
         a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
    ++suffix;
  // Everything between the common ends out, then in: the edit when one side is empty, and
  // the fallback when the search gives up.
  const auto replaceMiddle = [&] {
    std::fill(marks.removed.begin() + prefix, marks.removed.end() - suffix, 1);
    std::fill(marks.added.begin() + prefix, marks.added.end() - suffix, 1);
  };
  const Lines middleA(a.begin() + prefix, a.end() - suffix);
  const Lines middleB(b.begin() + prefix, b.end() - suffix);
  if (middleA.empty() || middleB.empty()) {
    replaceMiddle();
    return marks;
  }
  std::vector<std::uint32_t> x, y;
  numberLines(middleA, middleB, x, y);
  if (!markShortestEdit(x, y, marks, prefix, prefix)) replaceMiddle();
  return marks;
}

// Lines [beforeBegin, beforeEnd) of `before` replaced by [afterBegin, afterEnd) of `after`.
struct Change {
  std::size_t beforeBegin, beforeEnd, afterBegin, afterEnd;
};

std::vector<Change> changesOf(const LineMarks& marks) {
  std::vector<Change> changes;
  const std::size_t n = marks.removed.size();
  const std::size_t m = marks.added.size();
  std::size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && !marks.removed[i] && !marks.added[j]) {
      ++i, ++j;
      continue;
    }
    Change change{i, i, j, j};
    while (change.beforeEnd < n && marks.removed[change.beforeEnd]) ++change.beforeEnd;
    while (change.afterEnd < m && marks.added[change.afterEnd]) ++change.afterEnd;
    // Unpaired lines left on one side only would mean marks that do not pair up.
    if (change.beforeEnd == i && change.afterEnd == j) break;
    changes.push_back(change);
    i = change.beforeEnd;
    j = change.afterEnd;
  }
  return changes;
}

// A hunk's range: the first line and the count, the count left out when it is 1; an empty
// range names the line before it.
std::string range(std::size_t begin, std::size_t count) {
  if (count == 0) return std::to_string(begin) + ",0";
  if (count == 1) return std::to_string(begin + 1);
  return std::to_string(begin + 1) + "," + std::to_string(count);
}

void addLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (!line.ends_with('\n')) out += "\n\\ No newline at end of file\n";
}

std::string headerName(const std::string& side, const std::string& name) {
  const bool needsQuotes = std::any_of(name.begin(), name.end(), [](char c) {
    return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
  });
  if (!needsQuotes) {
    // patch ends a name at a tab; without one it would end it at the first blank.
    return side + name + (name.find(' ') != std::string::npos ? "\t" : "");
  }
  std::string quoted = "\"" + side;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
      case '\\':
        (quoted += '\\') += c;
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      default:
        if (byte < 0x20 || byte == 0x7f) {
          quoted += '\\';
          quoted += static_cast<char>('0' + (byte >> 6));
          quoted += static_cast<char>('0' + ((byte >> 3) & 7));
          quoted += static_cast<char>('0' + (byte & 7));
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

}  // namespace

std::string unifiedDiff(std::string_view before, std::string_view after, const std::string& name) {
  if (before == after) return {};
  const Lines a = splitKeepingEnds(before, false);
  const Lines b = splitKeepingEnds(after, false);
  const std::vector<Change> changes = changesOf(compareLines(a, b));

  std::string out = "--- " + headerName("a/", name) + "\n+++ " + headerName("b/", name) + "\n";
  for (std::size_t first = 0; first < changes.size();) {
    // Changes closer than twice the context share a hunk.
    std::size_t last = first;
    while (last + 1 < changes.size() &&
           changes[last + 1].beforeBegin - changes[last].beforeEnd <= 2 * kContext)
      ++last;
    // The lines around a hunk are common to both files, as many on either side.
    const std::size_t leading = std::min(kContext, changes[first].beforeBegin);
    const std::size_t trailing = std::min(kContext, a.size() - changes[last].beforeEnd);
    const std::size_t beforeBegin = changes[first].beforeBegin - leading;
    const std::size_t afterBegin = changes[first].afterBegin - leading;
    const std::size_t beforeEnd = changes[last].beforeEnd + trailing;
    const std::size_t afterEnd = changes[last].afterEnd + trailing;
    out += "@@ -" + range(beforeBegin, beforeEnd - beforeBegin) + " +" +
           range(afterBegin, afterEnd - afterBegin) + " @@\n";
    std::size_t i = beforeBegin;
    for (std::size_t c = first; c <= last; ++c) {
      const Change& change = changes[c];
      for (; i < change.beforeBegin; ++i) addLine(out, ' ', a[i]);
      for (; i < change.beforeEnd; ++i) addLine(out, '-', a[i]);
      for (std::size_t j = change.afterBegin; j < change.afterEnd; ++j) addLine(out, '+', b[j]);
    }
    for (; i < beforeEnd; ++i) addLine(out, ' ', a[i]);
    first = last + 1;
  }
  return out;
}

std::size_t changedLines(std::string_view before, std::string_view after) {
  if (before == after) return 0;
  const LineMarks marks =
      compareLines(splitKeepingEnds(before, true), splitKeepingEnds(after, true));
  const auto removed = std::count(marks.removed.begin(), marks.removed.end(), 1);
  const auto added = std::count(marks.added.begin(), marks.added.end(), 1);
  return static_cast<std::size_t>(std::max(removed, added));
}

}  // namespace tarvex
