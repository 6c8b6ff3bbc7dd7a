#include "app/command_line.h"

#include <CLI/CLI.hpp>
#include <chrono>

namespace tarvex {

std::optional<CalendarDate> parseIsoDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  const int year = std::stoi(text.substr(0, 4));
  const int month = std::stoi(text.substr(5, 2));
  const int day = std::stoi(text.substr(8, 2));
  const std::chrono::year_month_day ymd{std::chrono::year(year),
                                        std::chrono::month(static_cast<unsigned>(month)),
                                        std::chrono::day(static_cast<unsigned>(day))};
  if (!ymd.ok()) return std::nullopt;
  return CalendarDate{year, month, day};
}

namespace {

const CLI::Validator kIsoDate(
    [](std::string& text) {
      return parseIsoDate(text) ? std::string()
                                : "a date as YYYY-MM-DD is needed, not \"" + text + "\"";
    },
    "YYYY-MM-DD");

// The first line of a parse error, so that a bad command line is one clear line.
std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
  CommandLine line;
  CLI::App app(
      "The TARVEX shell: opens its window; or runs a session from a script headless "
      "(--script); or checks a data folder in batch (--check).",
      "TARVEXshellv01");
  app.set_version_flag("--version", std::string("TARVEXshellv01 ") + TARVEX_VERSION);
  std::string dateText;
  auto* script = app.add_option("--script", line.scriptPath,
                                "Run the shell headless: the script's lines act on the window, "
                                "a transcript goes to standard output")
                     ->type_name("FILE");
  auto* shellDir = app.add_option("--shell-dir", line.shellDirectory,
                                  "The folder to take for the program's own: the initialization "
                                  "file and the engine are looked for there, then in " +
                                      std::string(TARVEX_ENGINE_DIR_FROM_BIN) + " from it")
                       ->type_name("DIR");
  app.add_option("--date", dateText, "The calendar date for output folder names and backup names")
      ->check(kIsoDate);
  auto* check = app.add_option("--check", line.checkFolder,
                               "Check the input files of a data folder in batch, with the "
                               "standard names; exit 0 without errors, 1 with, 2 when the check "
                               "cannot run")
                    ->type_name("DIR")
                    ->excludes(script)
                    ->excludes(shellDir);
  app.add_flag("--matrix", line.matrix, "With --check: check UserWLS.txt too")->needs(check);
  app.add_flag("--matrix-headings", line.matrixHeadings,
               "With --check: the matrix has station-number headings")
      ->needs(check);
  app.add_flag("--flow-files", line.flowFiles,
               "With --check: check the annual flow files (DOVL########.txt) too")
      ->needs(check);
  app.add_flag("--fix", line.fix,
               "With --check: make the repairs the checks offer, each file backed up first; "
               "without it nothing is written")
      ->needs(check);
  std::string json;
  app.add_option("--json", json,
                 "With --check: write the report as JSON to FILE, or to standard output "
                 "instead of the report texts with -")
      ->type_name("FILE|-")
      ->needs(check);
  app.add_flag("--diff", line.diff,
               "With --check: show the rewrites --fix would make as unified diffs and write "
               "nothing; with --undo: show what the undo would put back")
      ->excludes(script)
      ->excludes(shellDir);
  auto* undo = app.add_option("--undo", line.undoFolder,
                              "Put back the files of a data folder's last logged repair from "
                              "their backups, where they still hold what the repair wrote")
                   ->type_name("DIR")
                   ->excludes(check)
                   ->excludes(script)
                   ->excludes(shellDir);
  std::string tsv;
  app.add_option("--tsv", tsv,
                 "With --check: write the findings as a tab-separated table to FILE, or to "
                 "standard output instead of the report texts with -")
      ->type_name("FILE|-")
      ->needs(check);

  std::vector<const char*> argv = {"TARVEXshellv01"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  app.allow_extras();
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
    if (!app.remaining().empty()) {
      error = "unknown argument \"" + app.remaining().front() + "\"";
      return std::nullopt;
    }
  } catch (const CLI::CallForHelp&) {
    line.mode = CommandLine::Mode::Help;
    line.text = app.help();
    return line;
  } catch (const CLI::CallForVersion& version) {
    line.mode = CommandLine::Mode::Version;
    line.text = version.what();
    return line;
  } catch (const CLI::ParseError& e) {
    error = firstLine(e.what());
    return std::nullopt;
  }
  if (!dateText.empty()) line.date = parseIsoDate(dateText);
  if (app.count("--json")) line.json = json;
  if (app.count("--tsv")) line.tsv = tsv;
  if (line.diff && !check->count() && !undo->count()) {
    error = "--diff requires --check or --undo";
    return std::nullopt;
  }
  if (script->count())
    line.mode = CommandLine::Mode::Script;
  else if (undo->count())
    line.mode = CommandLine::Mode::Undo;
  else if (check->count())
    line.mode = CommandLine::Mode::Check;
  return line;
}

}  // namespace tarvex
