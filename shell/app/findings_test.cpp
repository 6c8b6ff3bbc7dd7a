// The findings of Step 2 on many damaged folders, as the batch check reports them and as the
// window counts them: one finding per counted problem, each pointing at the line that holds
// it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch_report.h"
#include "platform/scripted/script.h"
#include "platform/scripted/scripted_desktop.h"
#include "platform/text_file.h"
#include "run_program.h"
#include "sample_data.h"
#include "shell_harness.h"
#include "state/shell_state.h"
#include "tables/table_reader.h"
#include "temp_dir.h"
#include "window/main_window.h"

namespace tarvex::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The lines of a file by the tables' rule, each without its line end.
std::vector<std::string> linesOf(const TempDir& data, const std::string& name) {
  return splitLines(data.read(name));
}

void writeLines(const TempDir& data, const std::string& name,
                const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  data.write(name, text);
}

// Replaces field `field` (from 1) of line `line` (from 1, the heading being 1).
std::function<void(const TempDir&)> setField(std::string name, std::size_t line, std::size_t field,
                                             std::string value) {
  return [=](const TempDir& data) {
    auto lines = linesOf(data, name);
    std::vector<std::string> fields;
    std::stringstream in(lines[line - 1]);
    for (std::string f; std::getline(in, f, '\t');) fields.push_back(f);
    fields[field - 1] = value;
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) joined += (i ? "\t" : "") + fields[i];
    lines[line - 1] = joined;
    writeLines(data, name, lines);
  };
}

std::function<void(const TempDir&)> setLine(std::string name, std::size_t line, std::string text) {
  return [=](const TempDir& data) {
    auto lines = linesOf(data, name);
    lines[line - 1] = text;
    writeLines(data, name, lines);
  };
}

std::function<void(const TempDir&)> addLine(std::string name, std::string text) {
  return [=](const TempDir& data) {
    auto lines = linesOf(data, name);
    lines.push_back(text);
    writeLines(data, name, lines);
  };
}

std::function<void(const TempDir&)> removeLine(std::string name, std::size_t line) {
  return [=](const TempDir& data) {
    auto lines = linesOf(data, name);
    lines.erase(lines.begin() + static_cast<long>(line) - 1);
    writeLines(data, name, lines);
  };
}

std::function<void(const TempDir&)> swapLines(std::string name, std::size_t a, std::size_t b) {
  return [=](const TempDir& data) {
    auto lines = linesOf(data, name);
    std::swap(lines[a - 1], lines[b - 1]);
    writeLines(data, name, lines);
  };
}

std::function<void(const TempDir&)> reverseData(std::string name) {
  return [=](const TempDir& data) {
    auto lines = linesOf(data, name);
    std::reverse(lines.begin() + 1, lines.end());
    writeLines(data, name, lines);
  };
}

std::function<void(const TempDir&)> rawFile(std::string name, std::string bytes) {
  return [=](const TempDir& data) { data.write(name, bytes); };
}

std::function<void(const TempDir&)> transform(std::string name,
                                              std::function<std::string(std::string)> change) {
  return [=](const TempDir& data) { data.write(name, change(data.read(name))); };
}

std::string lineFeedsOnly(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

// The second line ends in a line feed alone.
std::string oneLineFeedAlone(std::string text) {
  const std::size_t first = text.find('\r');
  const std::size_t second = text.find('\r', first + 1);
  return text.substr(0, second) + text.substr(second + 1);
}

const std::string kFlowFile = "DOVL08010100.txt";
const std::string kStation = "08010200";

struct Damage {
  const char* name;
  std::function<void(const TempDir&)> apply;
};

// Each a folder a user could hand the check, made from the clean sample (five stations,
// 08010000 to 08010400, three flow characteristics, a headed matrix, twenty years of flows).
const std::vector<Damage>& damages() {
  static const std::vector<Damage> all = {
      {"clean", [](const TempDir&) {}},
      {"site: eight columns", transform("SiteInfo.txt",
                                        [](std::string t) {
                                          std::string out;
                                          for (const std::string& line : splitLines(t))
                                            out += line.substr(0, line.rfind('\t')) + "\r\n";
                                          return out;
                                        })},
      {"site: a heading in lower case", setField("SiteInfo.txt", 1, 2, "lat")},
      {"site: a line with a field more",
       setLine("SiteInfo.txt", 3, "08010100\t30\t-92\t20\t2\t0\t-0.1\t1\t100\textra")},
      {"site: a short line", setLine("SiteInfo.txt", 4, "08010200\t30\t-92")},
      {"site: no station number", setField("SiteInfo.txt", 5, 1, "")},
      {"site: seven digits", setField("SiteInfo.txt", 2, 1, "8010000")},
      {"site: a leading letter", setField("SiteInfo.txt", 3, 1, "A8010100")},
      {"site: a letter inside", setField("SiteInfo.txt", 4, 1, "0801X200")},
      {"site: a latitude", setField("SiteInfo.txt", 2, 2, "north")},
      {"site: a longitude", setField("SiteInfo.txt", 3, 3, "")},
      {"site: no annual series", setField("SiteInfo.txt", 4, 4, "0")},
      {"site: a zero-flow code", setField("SiteInfo.txt", 5, 5, "3")},
      {"site: a negative zero frequency", setField("SiteInfo.txt", 6, 6, "-2")},
      {"site: a regional skew", setField("SiteInfo.txt", 2, 7, "n/a")},
      {"site: a record code", setField("SiteInfo.txt", 3, 8, "5")},
      {"site: a station twice", setField("SiteInfo.txt", 6, 1, "08010000")},
      {"site: one station",
       [](const TempDir& d) {
         auto lines = linesOf(d, "SiteInfo.txt");
         lines.resize(2);
         writeLines(d, "SiteInfo.txt", lines);
       }},
      {"site: empty", rawFile("SiteInfo.txt", "")},
      {"site: line feeds alone", transform("SiteInfo.txt", lineFeedsOnly)},
      {"flow: one column", transform("FlowChar.txt",
                                     [](std::string t) {
                                       std::string out;
                                       for (const std::string& line : splitLines(t))
                                         out += line.substr(0, line.find('\t')) + "\r\n";
                                       return out;
                                     })},
      {"flow: a station not on the list", addLine("FlowChar.txt", "09999999\t1\t2\t3")},
      {"flow: a station missing", removeLine("FlowChar.txt", 4)},
      {"flow: reversed", reverseData("FlowChar.txt")},
      {"flow: swapped, and a stranger",
       [](const TempDir& d) {
         swapLines("FlowChar.txt", 2, 3)(d);
         setField("FlowChar.txt", 6, 1, "09999999")(d);
       }},
      {"flow: no station number", setField("FlowChar.txt", 3, 1, "")},
      {"flow: a short line", setLine("FlowChar.txt", 4, kStation + "\t1")},
      {"flow: a long line", setLine("FlowChar.txt", 5, "08010300\t1\t2\t3\t4")},
      {"flow: a byte-order mark",
       transform("FlowChar.txt", [](std::string t) { return "\xEF\xBB\xBF" + t; })},
      {"skew: a heading that differs", setField("LP3G.txt", 1, 3, "Q9")},
      {"skew: a column more", transform("LP3G.txt",
                                        [](std::string t) {
                                          std::string out;
                                          for (const std::string& line : splitLines(t))
                                            out += line + "\t0\r\n";
                                          return out;
                                        })},
      {"skew: commas", transform("LP3G.txt",
                                 [](std::string t) {
                                   std::replace(t.begin(), t.end(), '\t', ',');
                                   return t;
                                 })},
      {"deviate: binary bytes",
       rawFile("LP3K.txt",
               std::string("Station ID\tQ1\tQ2\tQ3\r\n\x01\x02\xff\xfe\r\n\x80\t\t", 30))},
      {"deviate: mixed line ends", transform("LP3K.txt", oneLineFeedAlone)},
      {"deviation: a station twice", setField("LP3s.txt", 5, 1, "08010000")},
      {"deviation: a station with a blank", setField("LP3s.txt", 4, 1, kStation + " ")},
      {"matrix: a letter", setField("UserWLS.txt", 3, 4, "abc")},
      {"matrix: a negative value", setField("UserWLS.txt", 4, 2, "-0.5")},
      {"matrix: a column more", transform("UserWLS.txt",
                                          [](std::string t) {
                                            std::string out;
                                            for (const std::string& line : splitLines(t))
                                              out += line + "\t0\r\n";
                                            return out;
                                          })},
      {"matrix: a row missing", removeLine("UserWLS.txt", 6)},
      {"matrix: an unknown station heading", setField("UserWLS.txt", 1, 3, "09999999")},
      {"matrix: a small diagonal",
       [](const TempDir& d) {
         for (std::size_t r = 2; r <= 6; ++r) setField("UserWLS.txt", r, r, "0.4")(d);
       }},
      {"annual flows: a file missing", [](const TempDir& d) { fs::remove(d.path() / kFlowFile); }},
      {"annual flows: a year twice", setField(kFlowFile, 3, 2, "2001")},
      {"annual flows: a gap", removeLine(kFlowFile, 5)},
      {"annual flows: a negative flow", setField(kFlowFile, 6, 3, "-1")},
      {"annual flows: a year in words", setField(kFlowFile, 7, 2, "two thousand")},
      {"annual flows: a flow in words", setField(kFlowFile, 8, 3, "lots")},
      {"annual flows: a year too early", setField(kFlowFile, 2, 2, "1850")},
      {"annual flows: a short line", setLine(kFlowFile, 9, "08010100\t2007")},
      {"annual flows: a blank line at the end",
       transform(kFlowFile, [](std::string t) { return t + "\r\n"; })},
  };
  return all;
}

// A desktop that answers as the batch check does: no pause, go on after errors, no rewrite.
class BatchAnswers : public ScriptedDesktop {
 public:
  using ScriptedDesktop::ScriptedDesktop;
  MsgAnswer msgBox(const std::string& prompt, int style, const std::string& title) override {
    ScriptedDesktop::msgBox(prompt, style, title);
    if ((style & 7) != kYesNo) return MsgAnswer::Ok;
    return title.ends_with("Error:") ? MsgAnswer::Yes : MsgAnswer::No;
  }
};

// Step 2 in the window on the folder, with every option; the counts the window shows.
std::pair<std::string, std::string> windowCounts(const TempDir& data) {
  std::ostringstream transcript;
  BatchAnswers desktop(transcript, data.path(), CalendarDate{2026, 12, 8});
  ShellState state;
  MainWindow window(desktop, state);
  chooseUsualTables(state, data.path(), "UserWLS.txt");
  desktop.setCurrentDirectory(data.path());
  window.showCounts();
  for (Control* option : {&window.cbUDWMatrix, &window.cbUDMHeadings, &window.cbDOVLFiles})
    option->setChecked(true);
  window.click(window.cmdQAQCFiles);
  return {window.tbMyErrors.text(), window.tbMyWarnings.text()};
}

// The line a finding names holds the station it names (a blank line holds its fault).
void expectPointsAtItsLine(const TempDir& data, const json& finding, const json& at) {
  if (at["line"].is_null()) return;
  const long line = at["line"];
  const auto lines = linesOf(data, finding["file"]);
  ASSERT_GE(line, 1);
  ASSERT_LE(line, static_cast<long>(lines.size())) << finding.dump();
  // As the report gives it: bytes that are no UTF-8 read as Latin-1.
  const std::string text = utf8Text(lines[static_cast<std::size_t>(line) - 1]);
  if (at["station"].is_string() && !at["station"].get<std::string>().empty() && !text.empty()) {
    EXPECT_NE(text.find(at["station"].get<std::string>()), std::string::npos)
        << finding.dump() << "\nline " << line << ": " << text;
  }
}

TEST(Findings, EveryCountIsOneFindingThatPointsAtItsLine) {
  int damaged = 0;
  for (const Damage& damage : damages()) {
    SCOPED_TRACE(damage.name);
    TempDir data;
    writeSampleData(data.path());
    damage.apply(data);
    const ProgramResult r =
        runProgram(shellProgram() + " --check " + shellQuote(data.path().string()) +
                   " --date 2026-12-08 --matrix --matrix-headings --flow-files --json -");
    ASSERT_TRUE(r.exitCode == 0 || r.exitCode == 1) << r.err;
    const json report = json::parse(r.out);
    long errors = 0, warnings = 0;
    for (const json& finding : report["findings"]) {
      ++(finding["severity"] == "error" ? errors : warnings);
      EXPECT_FALSE(finding["code"].get<std::string>().empty()) << finding.dump();
      expectPointsAtItsLine(data, finding, finding);
      for (const json& item : finding["items"]) expectPointsAtItsLine(data, finding, item);
    }
    EXPECT_EQ(report["errorCount"], errors);
    EXPECT_EQ(report["warningCount"], warnings);
    EXPECT_EQ(windowCounts(data), std::make_pair("Errors: " + std::to_string(errors),
                                                 "Warnings: " + std::to_string(warnings)));
    if (errors + warnings > 0) ++damaged;
  }
  EXPECT_GE(damaged, 40);
}

// Known damages, and where the JSON says their finding is: the line of the file (the heading
// is 1), the station as read and the 1-based field, each from its own source.
TEST(Findings, KnownDamagesNameTheirLineStationAndField) {
  struct Row {
    const char* damage;
    std::string file, code;
    json line, station, field, expected;
  };
  const std::vector<Row> rows = {
      {"site: a regional skew", "SiteInfo.txt", "regional-skew", 2, "08010000", 7, nullptr},
      {"site: a record code", "SiteInfo.txt", "record-code", 3, "08010100", 8, nullptr},
      {"skew: a heading that differs", "LP3G.txt", "heading-mismatch", 1, nullptr, 3, "Q2"},
      {"flow: a short line", "FlowChar.txt", "short-line", 4, kStation, nullptr, nullptr},
      {"annual flows: a negative flow", kFlowFile, "negative-flow", 6, "08010100", 3, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.damage);
    const auto damage = std::find_if(damages().begin(), damages().end(), [&](const Damage& d) {
      return d.name == std::string_view(row.damage);
    });
    ASSERT_NE(damage, damages().end());
    TempDir data;
    writeSampleData(data.path());
    damage->apply(data);
    const ProgramResult r =
        runProgram(shellProgram() + " --check " + shellQuote(data.path().string()) +
                   " --date 2026-12-08 --matrix --matrix-headings --flow-files --json -");
    const json report = json::parse(r.out);
    std::vector<json> found;
    for (const json& finding : report["findings"])
      if (finding["code"] == row.code) found.push_back(finding);
    ASSERT_EQ(found.size(), 1u) << report["findings"].dump(1);
    EXPECT_EQ(found[0]["file"], row.file);
    EXPECT_EQ(found[0]["line"], row.line);
    EXPECT_EQ(found[0]["station"], row.station);
    EXPECT_EQ(found[0]["field"], row.field);
    EXPECT_EQ(found[0]["expected"], row.expected);
  }
}

// Tables written by other systems: named in batch, mended by --fix (each backed up), and then
// clean; the same in the window when the user agrees.
TEST(Findings, TablesFromOtherSystemsAreMendedAndThenClean) {
  struct Row {
    const char* name;
    std::string table;
    std::function<std::string(std::string)> change;
    std::string code;
    bool mendable;
  };
  const std::vector<Row> rows = {
      {"line feeds alone", "SiteInfo.txt", lineFeedsOnly, "line-ends", true},
      {"mixed line ends", "LP3K.txt", oneLineFeedAlone, "line-ends", true},
      {"a byte-order mark", "FlowChar.txt", [](std::string t) { return "\xEF\xBB\xBF" + t; },
       "byte-order-mark", true},
      {"commas", "LP3G.txt",
       [](std::string t) {
         std::replace(t.begin(), t.end(), '\t', ',');
         return t;
       },
       "separator", false},
  };
  const auto check = [](const TempDir& data, const std::string& options) {
    const ProgramResult r =
        runProgram(shellProgram() + " --check " + shellQuote(data.path().string()) +
                   " --date 2026-12-08 --json - " + options);
    return std::make_pair(r.exitCode, json::parse(r.out));
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir data;
    writeSampleData(data.path(), {.withMatrix = false, .withFlowFiles = false});
    const std::string clean = data.read(row.table);
    const std::string damaged = row.change(clean);
    data.write(row.table, damaged);

    const auto [dryExit, dry] = check(data, "");
    EXPECT_EQ(dryExit, 1);
    EXPECT_EQ(dry["findings"][0]["code"], row.code);
    EXPECT_EQ(dry["findings"][0]["file"], row.table);
    EXPECT_EQ(dry["findings"][0]["severity"], "error");

    const auto [fixExit, fixed] = check(data, "--fix");
    EXPECT_EQ(fixExit, row.mendable ? 0 : 1);
    EXPECT_EQ(fixed["findings"][0]["severity"], row.mendable ? "warning" : "error");
    EXPECT_EQ(data.read(row.table), row.mendable ? clean : damaged);
    if (!row.mendable) continue;
    EXPECT_EQ(data.read(row.table + "-BadFile-12-8-2026.txt"), damaged);
    const auto [againExit, again] = check(data, "");
    EXPECT_EQ(againExit, 0);
    EXPECT_TRUE(again["findings"].empty()) << again.dump();

    // In the window: the question, Yes, and the file is mended.
    data.write(row.table, damaged);
    std::ostringstream transcript;
    ScriptedDesktop desktop(transcript, data.path(), CalendarDate{2026, 12, 9});
    Script script = Script::parse("answer no\nanswer yes\n");
    desktop.setScript(&script);
    ShellState state;
    MainWindow window(desktop, state);
    chooseUsualTables(state, data.path());
    desktop.setCurrentDirectory(data.path());
    window.click(window.cmdQAQCFiles);
    EXPECT_NE(transcript.str().find("-> yes"), std::string::npos) << transcript.str();
    EXPECT_EQ(data.read(row.table), clean);
    EXPECT_EQ(data.read(row.table + "-BadFile-12-9-2026.txt"), damaged);
    EXPECT_EQ(state.ErrorCount, 0);
    EXPECT_EQ(state.WarningCount, 1);
    EXPECT_TRUE(state.InputFilesChecked);
  }
}

}  // namespace
}  // namespace tarvex::testing
