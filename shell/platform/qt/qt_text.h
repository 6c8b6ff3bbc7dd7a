#pragma once

#include <QString>
#include <filesystem>
#include <string>

namespace tarvex {

// The shell's texts are bytes. Shown as UTF-8 when they are, else byte for byte
// (Latin-1), so a name in another code page still shows and never turns into '?'.
QString toQt(const std::string& bytes);
// As toQt, with the shell's line breaks (CR LF, or CR alone) as Qt's.
QString toQtLines(const std::string& bytes);
// What the user typed, as the shell's bytes.
std::string fromQt(const QString& text);
// A path chosen in a dialog, with the file system's own bytes.
std::filesystem::path pathFromQt(const QString& path);
QString pathToQt(const std::filesystem::path& path);

}  // namespace tarvex
