// Plain arrays as JSON:
//   {"class": "double"|"uint64"|"logical", "dims": [R, C], "data": [...]}   column-major
//   {"class": "cell", "dims": [R, C], "cells": [ARRAY or null, ...]}
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "plain_array.h"

namespace hostarray {

// Input that cannot be an array; the message says where and why.
class JsonFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

ArrayPtr arrayFromJson(const nlohmann::json& value, const std::string& where);
nlohmann::json arrayToJson(const PlainArray* array);

}  // namespace hostarray
