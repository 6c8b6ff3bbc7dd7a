#include "window/main_window.h"

namespace tarvex {

namespace {

constexpr int kNormalPoints = 8;
constexpr int kSmallPoints = 7;

int pointsFor(bool fits) { return fits ? kNormalPoints : kSmallPoints; }

}  // namespace

void MainWindow::fitFont(FontFit request) {
  switch (request) {
    case FontFit::Directory:
      tbDirectory.setFontSize(pointsFor(state_.WorkingDirectory.size() <= 100));
      break;
    case FontFit::OutputSubdirectory:
      tbOutputSubdirectory.setFontSize(pointsFor(tbOutputSubdirectory.text().size() <= 50));
      break;
    case FontFit::FileNames: {
      bool fits = true;
      for (const std::string* name :
           {&state_.SiteInfoFileName, &state_.FlowCharFileName, &state_.LP3GFileName,
            &state_.LP3sFileName, &state_.LP3KFileName, &state_.UserWLSFileName})
        fits = fits && name->size() <= 25;
      for (Control* box : {&tbSiteInfoFile, &tbFlowChar, &tbLP3G, &tbLP3s, &tbLP3K, &tbUDWLS})
        box->setFontSize(pointsFor(fits));
      break;
    }
  }
}

}  // namespace tarvex
