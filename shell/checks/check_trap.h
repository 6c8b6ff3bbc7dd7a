#pragma once

#include <optional>
#include <string>
#include <utility>

#include "checks/check_context.h"
#include "platform/error_trap.h"

namespace tarvex {

// Counts a check's failure as an error, records it as a finding of `fileName` and shows
// it in a critical box titled `title`, in the first form ("Error: 53 File not found").
void reportCheckFailure(CheckContext& context, const std::string& fileName,
                        const std::string& title, const RunTimeError& error);

// Runs a check's body under its trap; a failure ends the body, is reported as above and
// returned.
template <class Body>
std::optional<RunTimeError> runCheckTrapped(CheckContext& context, const std::string& fileName,
                                            const std::string& title, Body&& body) {
  auto error = trapped(std::forward<Body>(body));
  if (error) reportCheckFailure(context, fileName, title, *error);
  return error;
}

}  // namespace tarvex
