#include "platform/error_trap.h"
#include "platform/text_file.h"
#include "run/file_routines.h"
#include "tables/table_reader.h"
#include "viewers/information_form.h"
#include "window/main_window.h"

namespace tarvex {

namespace {
constexpr const char* kSelectFlowFiles =
    "Please select the 'Use annual flow files (DOVL########.txt for GLS)' check box and check "
    "the input files again.";
}  // namespace

void MainWindow::UpdateStationListBox() {
  withErrorBox(desktop_, TrapText::Sub, "Sub UpdateStationListBox", [&] {
    tbStationCount.setText(std::to_string(state_.StationCount));
    ListStations.clearItems();
    for (long i = 1; i <= state_.StationCount; ++i)
      ListStations.addItem(state_.StationNumbers.at(i));
  });
}

// A click on a station shows its annual flow series file in the viewer.
void MainWindow::ListStations_Click() {
  withErrorBox(desktop_, TrapText::Sub, "Sub ListStations", [&] {
    if (!state_.InputFilesSpecified) {
      desktop_.msgBox("Please specify input file names before trying to check input files ",
                      kCritical, "Please Specify Input Filenames:");
      cmdInputFiles.setFocus();
      return;
    }
    if (!state_.FlowFilesChecked) {
      desktop_.msgBox("The flow files have not been verified.\r\n" + std::string(kSelectFlowFiles),
                      kInformation, "Check Flow Files:");
      return;
    }
    int selected = -1;
    for (int i = 0; i < ListStations.itemCount() && selected < 0; ++i)
      if (ListStations.selected(i)) selected = i;
    const std::string station =
        selected < 0 ? std::string() : ListStations.items()[static_cast<std::size_t>(selected)];
    const std::string fileName = state_.FlowFileNames.at(static_cast<std::size_t>(selected + 1));
    const std::string path = fileName.empty() ? fileName : state_.WorkingDirectory + fileName;
    if (!FileExists(path)) {
      desktop_.msgBox("Error the file: " + fileName + " does not exist.\r\n" + kSelectFlowFiles,
                      kCritical, "File Error:");
      cbDOVLFiles.setFocus();
      return;
    }
    std::string text = "Flow File for station: " + station + std::string(kLineBreak);
    for (const std::string& line : readTextLines(path)) (text += line) += kLineBreak;
    state_.InformationText = std::move(text);
    showInformation();
  });
}

}  // namespace tarvex
