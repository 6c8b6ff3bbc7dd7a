#include "plx_json.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace hostarray {
namespace {

using nlohmann::json;

const std::map<std::string, int>& classNumbers() {
  static const std::map<std::string, int> numbers{{"cell", qvCELL_CLASS},
                                                  {"logical", qvLOGICAL_CLASS},
                                                  {"double", qvDOUBLE_CLASS},
                                                  {"uint64", qvUINT64_CLASS}};
  return numbers;
}

std::string className(int classId) {
  for (const auto& [name, number] : classNumbers()) {
    if (number == classId) return name;
  }
  return "class " + std::to_string(classId);
}

[[noreturn]] void fail(const std::string& where, const std::string& what) {
  throw JsonFormatError(where + ": " + what);
}

std::vector<std::uint32_t> dimsFrom(const json& value, const std::string& where) {
  const json* dims = value.contains("dims") ? &value["dims"] : nullptr;
  if (!dims || !dims->is_array() || dims->size() < 2) fail(where, "\"dims\" must list [R, C]");
  std::vector<std::uint32_t> result;
  for (const json& d : *dims) {
    if (!d.is_number_integer() || d.get<std::int64_t>() < 0 ||
        d.get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max()) {
      fail(where, "each dimension must be an integer from 0 to 4294967295");
    }
    result.push_back(d.get<std::uint32_t>());
  }
  return result;
}

// The product of the dims: zero when one of them is, whatever the others multiply to.
std::size_t elementCount(const std::vector<std::uint32_t>& dims, const std::string& where) {
  if (std::ranges::find(dims, 0u) != dims.end()) return 0;
  std::size_t count = 1;
  for (std::uint32_t d : dims) {
    if (__builtin_mul_overflow(count, d, &count)) {
      fail(where, "\"dims\" multiply to more than " +
                      std::to_string(std::numeric_limits<std::size_t>::max()) + " elements");
    }
  }
  return count;
}

double doubleFrom(const json& v, const std::string& where) {
  if (v.is_number()) return v.get<double>();
  // JSON has no NaN or infinity; they travel as strings.
  if (v == "NaN") return std::numeric_limits<double>::quiet_NaN();
  if (v == "Inf") return std::numeric_limits<double>::infinity();
  if (v == "-Inf") return -std::numeric_limits<double>::infinity();
  fail(where, "a double must be a number, \"NaN\", \"Inf\" or \"-Inf\"");
}

void fillData(PlainArray& array, const json& data, const std::string& where) {
  for (std::size_t i = 0; i < data.size(); ++i) {
    const json& v = data[i];
    const std::string at = where + ".data[" + std::to_string(i) + "]";
    switch (array.classId()) {
      case qvDOUBLE_CLASS:
        array.as<double>()[i] = doubleFrom(v, at);
        break;
      case qvUINT64_CLASS:
        if (!v.is_number_unsigned() && !(v.is_number_integer() && v.get<std::int64_t>() >= 0)) {
          fail(at, "a uint64 must be an integer from 0 to 18446744073709551615");
        }
        array.as<std::uint64_t>()[i] = v.get<std::uint64_t>();
        break;
      default:  // logical
        if (v.is_boolean()) {
          array.as<qvLogical>()[i] = v.get<bool>();
        } else if (v == 0 || v == 1) {
          array.as<qvLogical>()[i] = v.get<int>();
        } else {
          fail(at, "a logical must be 0, 1, true or false");
        }
    }
  }
}

json valueToJson(const PlainArray& array, std::size_t i) {
  switch (array.classId()) {
    case qvDOUBLE_CLASS: {
      const double x = array.as<double>()[i];
      if (std::isnan(x)) return "NaN";
      if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
      return x;
    }
    case qvUINT64_CLASS:
      return array.as<std::uint64_t>()[i];
    default:
      return array.as<qvLogical>()[i] != 0;
  }
}

}  // namespace

namespace {

// Cells nest; a bound keeps a hostile input from exhausting the stack.
constexpr int kMaxCellDepth = 64;

ArrayPtr arrayAtDepth(const json& value, const std::string& where, int depth) {
  if (depth > kMaxCellDepth)
    fail(where, "cells may nest at most " + std::to_string(kMaxCellDepth) + " deep");
  if (!value.is_object()) fail(where, "an array must be a JSON object");
  if (!value.contains("class") || !value["class"].is_string() ||
      !classNumbers().contains(value["class"].get<std::string>())) {
    fail(where, "\"class\" must be \"double\", \"uint64\", \"logical\" or \"cell\"");
  }
  const int classId = classNumbers().at(value["class"].get<std::string>());
  std::vector<std::uint32_t> dims = dimsFrom(value, where);
  // The list must match the dims before anything is allocated: a few bytes of input must not
  // make the host zero-fill gigabytes only to refuse them.
  const std::size_t count = elementCount(dims, where);
  const char* listName = classId == qvCELL_CLASS ? "cells" : "data";
  const json* list = value.contains(listName) ? &value[listName] : nullptr;
  if (!list || !list->is_array() || list->size() != count) {
    fail(where,
         std::string("\"") + listName + "\" must list " + std::to_string(count) + " elements");
  }
  ArrayPtr array = classId == qvCELL_CLASS ? PlainArray::cell(std::move(dims))
                                           : PlainArray::numeric(classId, std::move(dims));
  if (classId != qvCELL_CLASS) {
    fillData(*array, *list, where);
    return array;
  }
  for (std::size_t i = 0; i < list->size(); ++i) {
    if (!(*list)[i].is_null()) {
      array->setCell(
          i, arrayAtDepth((*list)[i], where + ".cells[" + std::to_string(i) + "]", depth + 1));
    }
  }
  return array;
}

}  // namespace

ArrayPtr arrayFromJson(const json& value, const std::string& where) {
  return arrayAtDepth(value, where, 0);
}

json arrayToJson(const PlainArray* array) {
  if (!array) return nullptr;
  json result{{"class", className(array->classId())}, {"dims", array->dims()}};
  json list = json::array();
  for (std::size_t i = 0; i < array->numberOfElements(); ++i) {
    list.push_back(array->classId() == qvCELL_CLASS ? arrayToJson(array->cellAt(i))
                                                    : valueToJson(*array, i));
  }
  result[array->classId() == qvCELL_CLASS ? "cells" : "data"] = std::move(list);
  return result;
}

}  // namespace hostarray
