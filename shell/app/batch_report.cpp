#include "app/batch_report.h"

#include "platform/unified_diff.h"

namespace tarvex {

namespace {

using Json = nlohmann::ordered_json;

const char* severityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    default:
      return "note";
  }
}

template <class Number>
Json orNull(const std::optional<Number>& value) {
  return value ? Json(*value) : Json(nullptr);
}
Json orNull(const std::optional<std::string>& value) {
  return value ? Json(utf8Text(*value)) : Json(nullptr);
}

// A message on one line: a line break becomes a blank (none after a blank), and a tab, in
// a table, a blank.
std::string oneLine(std::string_view text, bool tabsToo) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\r' || c == '\n') {
      if (!line.empty() && line.back() != ' ') line += ' ';
      continue;
    }
    line += tabsToo && c == '\t' ? ' ' : c;
  }
  return utf8Text(line);
}

std::string place(const std::string& file, const std::optional<long>& line) {
  std::string text = utf8Text(file);
  if (line) (text += ':') += std::to_string(*line);
  return text += ':';
}

std::string plural(long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

Json jsonFinding(const Finding& finding) {
  Json item;
  item["file"] = utf8Text(finding.file);
  item["line"] = orNull(finding.line);
  item["station"] = orNull(finding.station);
  item["field"] = orNull(finding.field);
  item["severity"] = severityName(finding.severity);
  item["code"] = finding.code;
  item["expected"] = orNull(finding.expected);
  item["text"] = utf8Text(finding.text);
  Json items = Json::array();
  for (const FindingItem& line : finding.items)
    items.push_back({{"line", orNull(line.line)},
                     {"station", orNull(line.station)},
                     {"expected", orNull(line.expected)},
                     {"text", utf8Text(line.text)}});
  item["items"] = std::move(items);
  return item;
}

}  // namespace

std::string utf8Text(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = c < 0x80         ? 1
                               : (c >> 5) == 6  ? 2
                               : (c >> 4) == 14 ? 3
                               : (c >> 3) == 30 ? 4
                                                : 0;
    if (length == 0 || i + length > bytes.size()) break;
    bool valid = true;
    for (std::size_t k = 1; k < length; ++k)
      valid = valid && (static_cast<unsigned char>(bytes[i + k]) >> 6) == 2;
    // Overlong forms, surrogates and values past U+10FFFF are no UTF-8 either.
    const auto next = static_cast<unsigned char>(length > 1 ? bytes[i + 1] : 0);
    if (length == 2 && c < 0xC2) valid = false;
    if (length == 3 && ((c == 0xE0 && next < 0xA0) || (c == 0xED && next >= 0xA0))) valid = false;
    if (length == 4 && ((c == 0xF0 && next < 0x90) || c > 0xF4 || (c == 0xF4 && next >= 0x90)))
      valid = false;
    if (!valid) break;
    i += length;
  }
  if (i == bytes.size()) return std::string(bytes);
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char b : bytes) {
    const auto c = static_cast<unsigned char>(b);
    if (c < 0x80) {
      text += b;
    } else {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

std::string summaryLine(const BatchResult& result) {
  return utf8Text(result.folder.filename().string()) + ": " +
         plural(result.state.StationCount, "station", "stations") + ", " +
         plural(result.state.ErrorCount, "error", "errors") + ", " +
         plural(result.state.WarningCount, "warning", "warnings");
}

Json jsonReport(const BatchResult& result) {
  const ShellState& state = result.state;
  Json report;
  report["folder"] = utf8Text(result.folder.string());
  Json files = Json::object();
  for (const auto& [key, name] : result.files)
    files[key] = name.empty() ? Json(nullptr) : Json(utf8Text(name));
  report["files"] = files;
  report["stationCount"] = state.StationCount;
  report["errorCount"] = state.ErrorCount;
  report["warningCount"] = state.WarningCount;
  Json findings = Json::array();
  Json notes = Json::array();
  for (const Finding& finding : state.Findings) {
    // Problems reported without a count are notes, beside the findings.
    if (finding.severity == Severity::Note)
      notes.push_back(utf8Text(finding.text));
    else
      findings.push_back(jsonFinding(finding));
  }
  report["findings"] = std::move(findings);
  report["notes"] = std::move(notes);
  Json rewritten = Json::array(), backups = Json::array(), hints = Json::array();
  if (result.changes.preview) {
    for (const Rewrite& rewrite : result.changes.rewrites)
      rewritten.push_back(
          {{"file", utf8Text(rewrite.name)},
           {"backup", orNull(rewrite.backup)},
           {"diff", utf8Text(unifiedDiff(rewrite.before, rewrite.after, rewrite.name))}});
  } else {
    for (const Rewrite& rewrite : result.changes.rewrites)
      rewritten.push_back(utf8Text(rewrite.name));
  }
  for (const std::string& name : result.changes.backups) backups.push_back(utf8Text(name));
  for (const std::string& hint : result.hints) hints.push_back(utf8Text(hint));
  report["rewritten"] = std::move(rewritten);
  report["backups"] = std::move(backups);
  report["hints"] = std::move(hints);
  return report;
}

std::string textReport(const BatchResult& result) {
  std::string text;
  for (const Finding& finding : result.state.Findings) {
    ((((text += place(finding.file, finding.line)) += ' ') += severityName(finding.severity)) +=
     " [" + finding.code + "] ") += oneLine(finding.text, false) + '\n';
    for (const FindingItem& item : finding.items)
      (text += "    " + place(finding.file, item.line) + ' ') += oneLine(item.text, false) + '\n';
  }
  text += summaryLine(result) + '\n';
  for (const std::string& hint : result.hints) text += "hint: " + utf8Text(hint) + '\n';
  return text;
}

std::string diffReport(const BatchResult& result) {
  std::string text;
  for (const Rewrite& rewrite : result.changes.rewrites)
    text += unifiedDiff(rewrite.before, rewrite.after, rewrite.name);
  return text + summaryLine(result) + '\n';
}

std::string tsvReport(const BatchResult& result) {
  const auto cell = [](const std::optional<std::string>& value) {
    return value ? oneLine(*value, true) : std::string();
  };
  const auto number = [](const auto& value) {
    return value ? std::to_string(*value) : std::string();
  };
  std::string text = "severity\tcode\tfile\tline\tfield\tstation\texpected\tmessage\n";
  for (const Finding& finding : result.state.Findings) {
    text += std::string(severityName(finding.severity)) + '\t' + finding.code + '\t' +
            oneLine(finding.file, true) + '\t' + number(finding.line) + '\t' +
            number(finding.field) + '\t' + cell(finding.station) + '\t' + cell(finding.expected) +
            '\t' + oneLine(finding.text, true) + '\n';
    for (const FindingItem& item : finding.items)
      text += "item\t" + finding.code + '\t' + oneLine(finding.file, true) + '\t' +
              number(item.line) + "\t\t" + cell(item.station) + '\t' + cell(item.expected) + '\t' +
              oneLine(item.text, true) + '\n';
  }
  return text;
}

}  // namespace tarvex
