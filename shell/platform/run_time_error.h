#pragma once

#include <exception>
#include <string>
#include <system_error>

namespace tarvex {

// Error numbers keep their classic meaning so statuses read the same everywhere.
namespace err {
inline constexpr int kInvalidProcedureCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kBadFileName = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDeviceIO = 57;
inline constexpr int kFileAlreadyExists = 58;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEnd = 62;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kCancel = 32755;
}  // namespace err

// The standard description of an error number ("File not found" for 53).
std::string errorDescription(int number);

// A failure that a routine's error trap handles: a number and its description.
class RunTimeError : public std::exception {
 public:
  explicit RunTimeError(int number);
  RunTimeError(int number, std::string description);

  int number() const { return number_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int number_;
  std::string description_;
};

// Maps an operating-system error onto the numbering above. `isDirectory` picks
// "Path not found" over "File not found" for a missing folder.
RunTimeError fromErrno(int errnoValue, bool isDirectory = false);
RunTimeError fromErrorCode(const std::error_code& code, bool isDirectory = false);

// Any exception caught by a trap, as a run-time error.
RunTimeError asRunTimeError(const std::exception& e);

// Unwinds to the top of the program: "the program ends at once". It is not a
// std::exception, so no error trap catches it.
struct ProgramEnd {};

}  // namespace tarvex
