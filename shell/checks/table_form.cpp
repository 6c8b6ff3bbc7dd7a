#include "checks/table_form.h"

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

}  // namespace

TableForm examineTable(std::string_view bytes) {
  TableForm form;
  form.byteOrderMark = bytes.starts_with(kByteOrderMark);
  bool tab = false, comma = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r') ++form.returnEnds;
    if (c == '\n' && (i == 0 || bytes[i - 1] != '\r')) ++form.lineFeedEnds;
    tab = tab || c == '\t';
    comma = comma || c == ',' || c == ';';
  }
  form.commasWithoutTabs = !tab && comma;
  return form;
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
  const std::string bytes = context.readFile(path);
  const TableForm form = examineTable(bytes);
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
                            "Line Ends:", changedLines(bytes, withWindowsLineEnds(bytes)));
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
  if (checkable && (form.lineFeedEnds > 0 || form.byteOrderMark))
    context.writeFile(path, withWindowsLineEnds(bytes));
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
