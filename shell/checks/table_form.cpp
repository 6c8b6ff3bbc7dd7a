#include "checks/table_form.h"

#include <algorithm>

#include "checks/check_progress.h"
#include "checks/report.h"
#include "platform/text_file.h"
#include "platform/unified_diff.h"

namespace tarvex {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
const std::string kCrLf(kLineBreak);

bool ask(CheckContext& context, const std::string& text, const std::string& fileName,
         const std::string& mend, const std::string& title, std::size_t changed) {
  return context.desktop.msgBox(text + kCrLf + "Do you want to rewrite " + fileName + kCrLf + mend +
                                    "? A backup of it is kept." + kCrLf +
                                    linesWouldChange(changed, fileName),
                                kYesNo, title) == MsgAnswer::Yes;
}

// The table as the run sees it, examined a block at a time.
TableForm scanTable(CheckContext& context, const std::filesystem::path& path,
                    const std::string& fileName) {
  TableFormScan scan;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  CheckProgress progress(context.report, "line ends of " + fileName, ec ? 0 : size);
  std::uint64_t done = 0;
  context.readBlocks(path, [&](std::string_view block) {
    scan.add(block);
    progress.at(done += block.size());
  });
  return scan.form();
}

}  // namespace

void TableFormScan::add(std::string_view bytes) {
  if (bytes.empty()) return;
  if (start_.size() < kByteOrderMark.size())
    start_.append(bytes.substr(0, kByteOrderMark.size() - start_.size()));
  form_.returnEnds += static_cast<long>(std::count(bytes.begin(), bytes.end(), '\r'));
  for (std::size_t lf = bytes.find('\n'); lf != std::string_view::npos;
       lf = bytes.find('\n', lf + 1))
    if ((lf == 0 ? last_ : bytes[lf - 1]) != '\r') ++form_.lineFeedEnds;
  // Commas matter only in a file without a tab.
  tab_ = tab_ || bytes.find('\t') != std::string_view::npos;
  comma_ = comma_ || (!tab_ && bytes.find_first_of(",;") != std::string_view::npos);
  last_ = bytes.back();
}

TableForm TableFormScan::form() const {
  TableForm form = form_;
  form.byteOrderMark = std::string_view(start_).starts_with(kByteOrderMark);
  form.commasWithoutTabs = !tab_ && comma_;
  return form;
}

TableForm examineTable(std::string_view bytes) {
  TableFormScan scan;
  scan.add(bytes);
  return scan.form();
}

std::string withWindowsLineEnds(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 16);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n' && i > 0 && bytes[i - 1] == '\r') continue;
    if (c == '\r' || c == '\n') {
      text += kCrLf;
      continue;
    }
    text += c;
  }
  return text;
}

bool checkTableForm(CheckContext& context, const std::string& fileName) {
  const auto path = context.dataFile(fileName);
  const TableForm form = scanTable(context, path, fileName);
  // A table to mend is held whole, to count the lines the mending changes.
  const bool toMend = form.lineFeedEnds > 0 || form.byteOrderMark;
  const std::string bytes = toMend ? context.readFile(path) : std::string();
  const std::string mendedBytes = toMend ? withWindowsLineEnds(bytes) : std::string();
  const auto finding = [&](bool mended, const char* code, std::string text) {
    context.found(
        {fileName, 1, {}, {}, mended ? Severity::Warning : Severity::Error, std::move(text), code});
  };
  bool checkable = true;
  if (form.lineFeedEnds > 0) {
    const std::string text =
        fileName + " has " + std::to_string(form.lineFeedEnds) +
        " lines that end with a line feed alone (Linux line ends)" +
        (form.returnEnds > 0 ? " and " + std::to_string(form.returnEnds) +
                                   " that end with a "
                                   "carriage return"
                             : "") +
        "; TARVEX reads lines that end with a carriage return and a line feed.";
    const bool mended = ask(context, text, fileName, "with CR LF line ends",
                            "Line Ends:", changedLines(bytes, mendedBytes));
    finding(mended, "line-ends", text);
    checkable = mended;
  }
  if (form.byteOrderMark && checkable) {
    const std::string text =
        fileName +
        " starts with a UTF-8 byte-order mark, which TARVEX reads as part of its "
        "first heading.";
    const bool mended = ask(context, text, fileName, "without it", "Byte-Order Mark:", 1);
    finding(mended, "byte-order-mark", text);
    checkable = mended;
  }
  if (checkable && toMend) context.writeFile(path, mendedBytes);
  if (form.commasWithoutTabs) {
    finding(false, "separator",
            fileName +
                " holds commas or semicolons and no tab: the tables are tab-separated "
                "(save it from the spreadsheet as tab-delimited text).");
    checkable = false;
  }
  return checkable;
}

}  // namespace tarvex
