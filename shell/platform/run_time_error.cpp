#include "platform/run_time_error.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <stdexcept>

namespace tarvex {

std::string errorDescription(int number) {
  switch (number) {
    case err::kInvalidProcedureCall:
      return "Invalid procedure call or argument";
    case err::kOverflow:
      return "Overflow";
    case err::kOutOfMemory:
      return "Out of memory";
    case err::kSubscriptOutOfRange:
      return "Subscript out of range";
    case err::kTypeMismatch:
      return "Type mismatch";
    case err::kBadFileName:
      return "Bad file name or number";
    case err::kFileNotFound:
      return "File not found";
    case err::kDeviceIO:
      return "Device I/O error";
    case err::kFileAlreadyExists:
      return "File already exists";
    case err::kDiskFull:
      return "Disk full";
    case err::kInputPastEnd:
      return "Input past end of file";
    case err::kPermissionDenied:
      return "Permission denied";
    case err::kPathFileAccess:
      return "Path/File access error";
    case err::kPathNotFound:
      return "Path not found";
    case err::kCancel:
      return "Cancel was selected.";
    default:
      return "Application-defined or object-defined error";
  }
}

RunTimeError::RunTimeError(int number) : RunTimeError(number, errorDescription(number)) {}

RunTimeError::RunTimeError(int number, std::string description)
    : number_(number), description_(std::move(description)) {}

RunTimeError fromErrno(int errnoValue, bool isDirectory) {
  switch (errnoValue) {
    case ENOENT:
      return RunTimeError(isDirectory ? err::kPathNotFound : err::kFileNotFound);
    case ENOTDIR:
      return RunTimeError(err::kPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return RunTimeError(err::kPermissionDenied);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return RunTimeError(err::kDiskFull);
    case EIO:
      return RunTimeError(err::kDeviceIO);
    case EEXIST:
    case ENOTEMPTY:
      return RunTimeError(err::kFileAlreadyExists);
    case ENAMETOOLONG:
    case EINVAL:
      return RunTimeError(err::kBadFileName);
    case ENOMEM:
      return RunTimeError(err::kOutOfMemory);
    default:
      return RunTimeError(err::kPathFileAccess);
  }
}

RunTimeError fromErrorCode(const std::error_code& code, bool isDirectory) {
  if (code.category() == std::generic_category() || code.category() == std::system_category())
    return fromErrno(code.value(), isDirectory);
  return RunTimeError(err::kPathFileAccess);
}

RunTimeError asRunTimeError(const std::exception& e) {
  if (auto* rte = dynamic_cast<const RunTimeError*>(&e)) return *rte;
  if (auto* fse = dynamic_cast<const std::filesystem::filesystem_error*>(&e))
    return fromErrorCode(fse->code());
  if (dynamic_cast<const std::bad_alloc*>(&e)) return RunTimeError(err::kOutOfMemory);
  if (dynamic_cast<const std::out_of_range*>(&e)) return RunTimeError(err::kSubscriptOutOfRange);
  return RunTimeError(err::kInvalidProcedureCall);
}

}  // namespace tarvex
