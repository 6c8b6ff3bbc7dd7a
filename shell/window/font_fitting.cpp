#include "window/main_window.h"

namespace tarvex {

namespace {

constexpr int kNormalPoints = 8;
constexpr int kSmallPoints = 7;

int pointsFor(bool fits) { return fits ? kNormalPoints : kSmallPoints; }

}  // namespace

void MainWindow::fitFont(int request) {
  switch (request) {
    case 0:
      tbDirectory.setFontSize(pointsFor(state_.WorkingDirectory.size() <= 100));
      break;
    case 1:
      tbOutputSubdirectory.setFontSize(pointsFor(tbOutputSubdirectory.text().size() <= 50));
      break;
    case 2: {
      bool fits = true;
      for (const std::string* name :
           {&state_.SiteInfoFileName, &state_.FlowCharFileName, &state_.LP3GFileName,
            &state_.LP3sFileName, &state_.LP3KFileName, &state_.UserWLSFileName})
        fits = fits && name->size() <= 25;
      for (Control* box : {&tbSiteInfoFile, &tbFlowChar, &tbLP3G, &tbLP3s, &tbLP3K, &tbUDWLS})
        box->setFontSize(pointsFor(fits));
      break;
    }
    default:
      break;
  }
}

}  // namespace tarvex
