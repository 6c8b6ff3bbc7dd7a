#include "checks/fix_station_ids_form.h"

#include <gtest/gtest.h>

#include <vector>

#include "check_harness.h"
#include "platform/scripted/script_runner.h"

namespace tarvex::testing {
namespace {

using K = ControlKind;

// The repair form over a station list with the format counts the site check left.
struct Repair : CheckHarness {
  Repair(const std::vector<std::string>& numbers, long leading, long internal, long seven,
         const std::string& lines = "")
      : CheckHarness(lines) {
    stations(numbers);
    state.LeadingCharStationCount = leading;
    state.InternalCharStationCount = internal;
    state.SevenDigitStationCount = seven;
  }
  // Shows the form modally, as the driver does; the script's form lines act on it.
  void show() { desktop.showModal(form, nullptr); }
  std::vector<std::string> numbers() const {
    return {state.StationNumbers.begin() + 1, state.StationNumbers.end()};
  }
  std::string enabledButtons() const {
    std::string names;
    for (const Control* b : {&form.cmdStripLeadingCharacters, &form.cmdStripInternalCharacters,
                             &form.cmdAddLeadingZero, &form.cmdFixIt, &form.cmdClose})
      if (b->enabled()) names += (names.empty() ? "" : " ") + b->name();
    return names;
  }

  FixStationIdsForm form{desktop, state};
  ScriptRunner runner{desktop, form, [] { return std::string(); }};
};

TEST(FixStationIds, ControlsWithCaptionsAndTooltips) {
  Repair r({"01234567"}, 0, 0, 0);
  struct Row {
    const char* name;
    K kind;
    const char* text;
    const char* tooltip;
  };
  const std::vector<Row> rows = {
      {"tb7Digit", K::TextBox, "", "Number of stations with leading-digit problems"},
      {"tbNoInternal", K::TextBox, "", "Number with internal character problems"},
      {"tbNoLeading", K::TextBox, "", "Number with leading-digit problems"},
      {"cmdStripInternalCharacters", K::Button, "Strip Internal Characters From Station Number",
       "Strip internal characters from station number"},
      {"cmdClose", K::Button, "Close", "Close this form and return to the program"},
      {"cmdFixIt", K::Button, "Fix Selected Station Numbers", "Fix the selected stations"},
      {"ListFixStations", K::ListBox, "", "Select stations to fix"},
      {"cmdStripLeadingCharacters", K::Button, "Strip Leading Characters From Station Number",
       "Strip leading characters from station number"},
      {"cmdAddLeadingZero", K::Button, "Add Leading Zero to Seven Digit Stations",
       "Add leading zero to 7-digit station numbers"},
      {"Label1", K::Label, "Eight to 14 digit stations:", ""},
      {"Label2", K::Label,
       "To add a leading zero select the station numbers. To select a contiguous group hold the "
       "shift key and click the beginning and the end. To select multiple stations hold the "
       "control key and click the stations. To make the change click \"Fix Selected Station "
       "Numbers\"",
       ""},
      {"Label3", K::Label, "No:", ""},
      {"Label4", K::Label, "No:", ""},
      {"lbl3", K::Label, "No:", ""},
  };
  ASSERT_EQ(r.form.controls().size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Control& control = *r.form.controls()[i];
    EXPECT_EQ(control.name(), rows[i].name);
    EXPECT_EQ(control.kind(), rows[i].kind) << rows[i].name;
    EXPECT_EQ(control.text(), rows[i].text) << rows[i].name;
    EXPECT_EQ(control.tooltip(), rows[i].tooltip) << rows[i].name;
  }
  EXPECT_EQ(r.form.caption(), "Station Number Correction Form");
}

TEST(FixStationIds, LoadOpensOnlyTheFirstApplicableStep) {
  struct Row {
    long leading, internal, seven;
    std::string enabled;
  };
  const std::vector<Row> rows = {
      {1, 1, 1, "cmdStripLeadingCharacters cmdClose"},
      {0, 2, 1, "cmdStripInternalCharacters cmdClose"},
      {0, 0, 3, "cmdAddLeadingZero cmdClose"},
      {0, 0, 0, "cmdClose"},
  };
  for (const Row& row : rows) {
    Repair r({"x"}, row.leading, row.internal, row.seven);
    r.form.load();
    EXPECT_EQ(r.enabledButtons(), row.enabled);
    EXPECT_FALSE(r.form.ListFixStations.enabled());
    EXPECT_EQ(r.form.tbNoLeading.text(), std::to_string(row.leading));
    EXPECT_EQ(r.form.tbNoInternal.text(), std::to_string(row.internal));
    EXPECT_EQ(r.form.tb7Digit.text(), std::to_string(row.seven));
    EXPECT_EQ(r.form.SevenDigitCount, row.seven);
  }
}

TEST(FixStationIds, RepairSequences) {
  struct Row {
    const char* what;
    std::vector<std::string> before;
    long leading, internal, seven;
    std::string clicks;  // form lines
    std::vector<std::string> after;
    long leadingAfter, internalAfter, sevenAfter;
    std::vector<std::string> list;
    bool fixed;
  };
  const std::string strip = "frmFixStationIDs: click cmdStripLeadingCharacters\n";
  const std::string internal = "frmFixStationIDs: click cmdStripInternalCharacters\n";
  const std::string zero = "frmFixStationIDs: click cmdAddLeadingZero\n";
  const std::string fix = "frmFixStationIDs: click cmdFixIt\n";
  const std::vector<Row> rows = {
      {"A1234567: strip, then the zero",
       {"A1234567", "01234568"},
       1,
       0,
       0,
       strip + zero,
       {"01234567", "01234568"},
       0,
       0,
       0,
       {"01234568"},
       true},
      {"AB1234567: one character per click, then internal",
       {"AB1234567"},
       1,
       1,
       0,
       strip + internal,
       {"1234567"},
       0,
       0,
       0,
       {},
       true},
      {"a one-character number is left alone",
       {"A", "B12345678"},
       2,
       0,
       0,
       strip,
       {"A", "12345678"},
       1,
       0,
       0,
       {},
       true},
      {"0123-4567 loses its dash",
       {"0123-4567"},
       0,
       1,
       0,
       internal,
       {"01234567"},
       0,
       0,
       0,
       {},
       true},
      {"the list offers what the zero did not repair",
       {"1234567", "12345678", "123456", "0123456"},
       0,
       0,
       2,
       zero,
       {"01234567", "12345678", "123456", "00123456"},
       0,
       0,
       0,
       {"12345678", "123456"},
       true},
      {"a selected eight-digit number gets its zero",
       {"1234567", "12345678", "87654321"},
       0,
       0,
       1,
       zero + "frmFixStationIDs: select ListFixStations 1\n" + fix,
       {"01234567", "12345678", "087654321"},
       0,
       0,
       0,
       {"12345678", "087654321"},
       true},
      {"a second fix click adds no second zero",
       {"1234567", "12345678"},
       0,
       0,
       1,
       zero + "frmFixStationIDs: select ListFixStations 0\n" + fix +
           "frmFixStationIDs: select ListFixStations 0\n" + fix,
       {"01234567", "012345678"},
       0,
       0,
       0,
       {"012345678"},
       true},
      {"repeated numbers: only the first is repaired",
       {"1234567", "12345678", "12345678"},
       0,
       0,
       1,
       zero + "frmFixStationIDs: select ListFixStations 0\n" + fix,
       {"01234567", "012345678", "12345678"},
       0,
       0,
       0,
       {"012345678", "12345678"},
       true},
      {"closing at once repairs nothing",
       {"A1234567"},
       1,
       0,
       0,
       "",
       {"A1234567"},
       1,
       0,
       0,
       {},
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Repair r(row.before, row.leading, row.internal, row.seven, row.clicks);
    r.state.StationIDsFixed = false;
    r.show();
    EXPECT_EQ(r.numbers(), row.after);
    EXPECT_EQ(r.state.LeadingCharStationCount, row.leadingAfter);
    EXPECT_EQ(r.state.InternalCharStationCount, row.internalAfter);
    EXPECT_EQ(r.state.SevenDigitStationCount, row.sevenAfter);
    EXPECT_EQ(r.form.ListFixStations.items(), row.list);
    EXPECT_EQ(r.state.StationIDsFixed, row.fixed);
    std::vector<std::string> asRead = {""};
    asRead.insert(asRead.end(), row.before.begin(), row.before.end());
    EXPECT_EQ(r.state.StationNumbersAsRead, asRead) << "the numbers as read never change";
    EXPECT_TRUE(r.transcript().ends_with("== close frmFixStationIDs\n")) << r.transcript();
  }
}

TEST(FixStationIds, EachStepOpensTheNextAndClosesItself) {
  Repair r({"AB1234567", "12345678"}, 1, 1, 0);
  r.form.load();
  r.form.cmdStripLeadingCharacters_Click();
  EXPECT_EQ(r.enabledButtons(), "cmdStripInternalCharacters cmdClose");
  EXPECT_EQ(r.form.focus(), "cmdStripInternalCharacters");
  r.form.cmdStripInternalCharacters_Click();
  EXPECT_EQ(r.enabledButtons(), "cmdAddLeadingZero cmdClose");
  EXPECT_EQ(r.form.focus(), "cmdAddLeadingZero");
  EXPECT_EQ(r.form.tb7Digit.text(), "1");
  r.form.cmdAddLeadingZero_Click();
  EXPECT_EQ(r.enabledButtons(), "cmdFixIt cmdClose");
  EXPECT_EQ(r.form.focus(), "ListFixStations");
  EXPECT_TRUE(r.form.ListFixStations.enabled());
  EXPECT_EQ(r.form.tb7Digit.text(), "0");
  // A fix click with nothing selected keeps the list open for another choice.
  r.form.cmdFixIt_Click();
  EXPECT_EQ(r.form.focus(), "ListFixStations");

  // Nothing left to offer: the list and the fix button close, Close takes the focus.
  Repair none({"1234567"}, 0, 0, 1);
  none.form.load();
  none.form.cmdAddLeadingZero_Click();
  none.form.cmdFixIt_Click();
  EXPECT_EQ(none.enabledButtons(), "cmdClose");
  EXPECT_EQ(none.form.focus(), "cmdClose");
  EXPECT_FALSE(none.form.ListFixStations.enabled());

  // A new showing starts afresh.
  none.form.load();
  EXPECT_TRUE(none.form.ListFixStations.items().empty());
  EXPECT_EQ(none.enabledButtons(), "cmdClose");
}

}  // namespace
}  // namespace tarvex::testing
