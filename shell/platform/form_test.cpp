#include "platform/form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvex::testing {
namespace {

class TwoControls : public Form {
 public:
  TwoControls() : Form("frmTwo", "Two") {}
  Control& box = add("tbBox", ControlKind::TextBox);
  Control& go = add("cmdGo", ControlKind::Button);
};

// Writes what it hears into a shared log; may leave the form when told of a change.
class Listener : public FormObserver {
 public:
  Listener(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  void controlChanged(const Control& control) override {
    log_.push_back(name_ + " " + control.name() + "=" + control.text());
    if (leaveFrom) leaveFrom->removeObserver(*this);
  }
  void focusChanged(const Control& control) override {
    log_.push_back(name_ + " focus " + control.name());
  }
  Form* leaveFrom = nullptr;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

TEST(FormObservers, EveryObserverHearsEachChangeInTheOrderItJoined) {
  TwoControls form;
  std::vector<std::string> log;
  Listener view("view", log), transcript("transcript", log);
  {
    const ScopedObserver a(form, view), b(form, transcript);
    form.box.setText("one");
    form.go.setFocus();
  }
  form.box.setText("unheard");
  EXPECT_EQ(log, (std::vector<std::string>{"view tbBox=one", "transcript tbBox=one",
                                           "view focus cmdGo", "transcript focus cmdGo"}));
}

TEST(FormObservers, AnObserverLeavingWhileToldStopsHearingOthersGoOn) {
  TwoControls form;
  std::vector<std::string> log;
  Listener leaving("leaving", log), staying("staying", log);
  leaving.leaveFrom = &form;
  form.addObserver(leaving);
  const ScopedObserver stay(form, staying);
  form.box.setText("a");
  form.box.setText("b");
  EXPECT_EQ(log,
            (std::vector<std::string>{"leaving tbBox=a", "staying tbBox=a", "staying tbBox=b"}));
}

}  // namespace
}  // namespace tarvex::testing
