#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvex {

// A rewrite of a file as a unified diff: what a repair would change, shown before it is
// made and applicable with `patch -p1 --binary` to a copy of the file.

// The search for the fewest changed lines stops after this many edits; the lines from the
// first to the last difference are then one block of removals followed by additions.
inline constexpr std::size_t kMaxDiffEdits = 2000;

// `before` changed into `after`, as the file NAME: "--- a/NAME", "+++ b/NAME", then hunks
// ("@@ -l,s +l,s @@") with three lines of context. Empty when the two are equal.
// Every line keeps its own bytes and line end. A line ends after a line feed (CR LF
// included), as patch reads lines; a carriage return alone stays inside its line, since
// patch could not tell where such a line ends. A last line without a line end is followed
// by "\ No newline at end of file". A name with a blank ends in a tab, and one with a
// quote, a backslash or a control character is quoted, so that patch reads it whole.
std::string unifiedDiff(std::string_view before, std::string_view after, const std::string& name);

// How many lines a rewrite of `before` into `after` changes: the larger of the number of
// lines the diff removes and the number it adds (a line edited in place counts once).
// Lines are counted as the tables end them: after LF, after CR LF, or after a carriage
// return alone, so a file of carriage-return lines counts each of them. Past
// kMaxDiffEdits the count covers everything between the first and the last difference.
std::size_t changedLines(std::string_view before, std::string_view after);

}  // namespace tarvex
