#pragma once

#include <string>

#include "window/main_window.h"

namespace tarvex {

inline constexpr const char* kOpenFilter =
    "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Data Files (*.dat)|*.dat";

// Asks for an existing file until one is chosen. `fileName` gets the bare name and
// `folder` the rest of the path, ending in '/'. Status 0 on success, err::kCancel on
// Cancel (no box), else the error number after one box titled " Sub CommonDialogOpen ".
void CommonDialogOpen(MainWindow& window, const std::string& title,
                      const std::string& suggestedName, std::string& fileName, short& status,
                      const std::string& initialDir, std::string& folder);

}  // namespace tarvex
