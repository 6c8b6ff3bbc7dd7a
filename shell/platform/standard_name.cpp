#include "platform/standard_name.h"

#include <algorithm>
#include <string>

namespace tarvex {

namespace fs = std::filesystem;

namespace {
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool sameNameIgnoringCase(std::string_view first, std::string_view second) {
  if (first.size() != second.size()) return false;
  for (std::size_t i = 0; i < first.size(); ++i)
    if (lower(first[i]) != lower(second[i])) return false;
  return true;
}

fs::path resolveStandardName(const fs::path& folder, std::string_view name) {
  const fs::path exact = folder / name;
  std::error_code ec;
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
  const std::vector<fs::path> found = namesInAnyCase(folder, name);
  return found.empty() ? exact : found.front();
}

std::vector<fs::path> namesInAnyCase(const fs::path& folder, std::string_view name) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (sameNameIgnoringCase(it->path().filename().string(), name)) found.push_back(it->path());
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace tarvex
