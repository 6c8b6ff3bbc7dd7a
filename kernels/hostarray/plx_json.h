// Plain arrays as JSON:
//   {"class": "double"|"uint64"|"logical", "dims": [R, C], "data": [...]}   column-major
//   {"class": "cell", "dims": [R, C], "cells": [ARRAY or null, ...]}
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "plain_array.h"

namespace hostarray {

// Input that cannot be an array; the message says where and why.
class JsonFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

ArrayPtr arrayFromJson(const nlohmann::json& value, const std::string& where);

// What plxcall is asked: {"inputs": [ARRAY, ...], "nlhs": N}, N from 0 to 64, 1 if absent.
struct Request {
  std::vector<ArrayPtr> inputs;
  int nlhs = 1;
};
Request requestFromJson(const nlohmann::json& value);

// Compact JSON of an array (null for an unset one), written to the stream as it is formatted:
// the bytes json::dump gives for the array's JSON value, without that value's memory. Writing
// stops once the stream fails; the caller checks the stream.
void writeArray(std::ostream& out, const PlainArray* array);
// {"outputs":[ARRAY,...]}
void writeOutputs(std::ostream& out, const std::vector<ArrayPtr>& outputs);

// Where in a JSON text parsing fails, as a path of the values ("inputs[0].data[3]"), with
// the parser's reason; nothing when the text parses.
std::optional<std::string> jsonFailurePlace(std::string_view text);

}  // namespace hostarray
