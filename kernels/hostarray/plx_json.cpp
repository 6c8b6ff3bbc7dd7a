#include "plx_json.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string_view>

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

Request requestFromJson(const json& value) {
  if (!value.is_object() || !value.contains("inputs") || !value["inputs"].is_array()) {
    throw JsonFormatError("the input must be an object with an \"inputs\" list");
  }
  Request request;
  if (value.contains("nlhs")) {
    const json& n = value["nlhs"];
    if (!n.is_number_integer() || n.get<std::int64_t>() < 0 || n.get<std::int64_t>() > 64) {
      throw JsonFormatError("\"nlhs\" must be an integer from 0 to 64");
    }
    request.nlhs = n.get<int>();
  }
  const json& inputs = value["inputs"];
  for (std::size_t i = 0; i < inputs.size(); ++i)
    request.inputs.push_back(arrayFromJson(inputs[i], "inputs[" + std::to_string(i) + "]"));
  return request;
}

namespace {

// Gathers the text in blocks: the stream's cost per call would dominate for millions of
// numbers.
class BlockWriter {
 public:
  explicit BlockWriter(std::ostream& out) : out_(out) {}
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  bool failed() const { return !out_; }
  void put(std::string_view text) {
    if (text.size() > block_.size() - used_) flush();
    if (text.size() > block_.size()) {
      out_.write(text.data(), static_cast<std::streamsize>(text.size()));
      return;
    }
    std::memcpy(block_.data() + used_, text.data(), text.size());
    used_ += text.size();
  }
  void flush() {
    if (used_ != 0 && out_) out_.write(block_.data(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  std::ostream& out_;
  std::array<char, 1 << 16> block_;
  std::size_t used_ = 0;
};

void putWord(BlockWriter& out, std::uint64_t value) {
  char text[20];
  out.put({text, std::to_chars(text, text + sizeof text, value).ptr});
}

void putDouble(BlockWriter& out, double x) {
  // JSON has no NaN or infinity; they travel as strings.
  if (std::isnan(x)) return out.put(R"("NaN")");
  if (std::isinf(x)) return out.put(x > 0 ? R"("Inf")" : R"("-Inf")");
  // The digits json::dump writes (shortest round trip, its own exponent form).
  char text[64];
  out.put({text, nlohmann::detail::to_chars(text, text + sizeof text, x)});
}

void putElement(BlockWriter& out, const PlainArray& array, std::size_t i) {
  switch (array.classId()) {
    case qvDOUBLE_CLASS:
      return putDouble(out, array.as<double>()[i]);
    case qvUINT64_CLASS:
      return putWord(out, array.as<std::uint64_t>()[i]);
    default:
      return out.put(array.as<qvLogical>()[i] != 0 ? "true" : "false");
  }
}

// Keys in json's order (sorted): "cells" or "class", "data", "dims".
void putArray(BlockWriter& out, const PlainArray* array) {
  if (!array) return out.put("null");
  const bool isCell = array->classId() == qvCELL_CLASS;
  const std::string classText = "\"class\":\"" + className(array->classId()) + "\"";
  out.put("{");
  if (!isCell) out.put(classText + ",");
  out.put(isCell ? "\"cells\":[" : "\"data\":[");
  for (std::size_t i = 0; i < array->numberOfElements() && !out.failed(); ++i) {
    if (i != 0) out.put(",");
    if (isCell) {
      putArray(out, array->cellAt(i));
    } else {
      putElement(out, *array, i);
    }
  }
  out.put("],");
  if (isCell) out.put(classText + ",");
  out.put("\"dims\":[");
  for (std::size_t k = 0; k < array->dims().size(); ++k) {
    if (k != 0) out.put(",");
    putWord(out, array->dims()[k]);
  }
  out.put("]}");
}

}  // namespace

void writeArray(std::ostream& out, const PlainArray* array) {
  BlockWriter writer(out);
  putArray(writer, array);
  writer.flush();
}

void writeOutputs(std::ostream& out, const std::vector<ArrayPtr>& outputs) {
  BlockWriter writer(out);
  writer.put("{\"outputs\":[");
  for (std::size_t i = 0; i < outputs.size() && !writer.failed(); ++i) {
    if (i != 0) writer.put(",");
    putArray(writer, outputs[i].get());
  }
  writer.put("]}");
  writer.flush();
}

namespace {

// Follows the parse event by event, keeping the path of the value being read, so that a
// failure (a number past the double range, a syntax error) can say where it is.
class PathTracker : public nlohmann::json_sax<json> {
 public:
  bool null() override { return value(); }
  bool boolean(bool) override { return value(); }
  bool number_integer(number_integer_t) override { return value(); }
  bool number_unsigned(number_unsigned_t) override { return value(); }
  bool number_float(number_float_t, const string_t&) override { return value(); }
  bool string(string_t&) override { return value(); }
  bool binary(binary_t&) override { return value(); }
  bool start_object(std::size_t) override {
    levels_.push_back({false, 0, {}});
    return true;
  }
  bool key(string_t& key) override {
    levels_.back().key = key;
    return true;
  }
  bool end_object() override {
    levels_.pop_back();
    return value();
  }
  bool start_array(std::size_t) override {
    levels_.push_back({true, 0, {}});
    return true;
  }
  bool end_array() override {
    levels_.pop_back();
    return value();
  }
  bool parse_error(std::size_t, const std::string&,
                   const nlohmann::detail::exception& error) override {
    const std::string at = path();
    failure = (at.empty() ? std::string("the input") : at) + ": " + error.what();
    return false;
  }

  std::optional<std::string> failure;

 private:
  struct Level {
    bool array;
    std::size_t index;
    std::string key;
  };
  bool value() {
    if (!levels_.empty() && levels_.back().array) ++levels_.back().index;
    return true;
  }
  std::string path() const {
    std::string text;
    for (const Level& level : levels_) {
      if (level.array)
        text += "[" + std::to_string(level.index) + "]";
      else if (!level.key.empty())
        text += (text.empty() ? "" : ".") + level.key;
    }
    return text;
  }
  std::vector<Level> levels_;
};

}  // namespace

std::optional<std::string> jsonFailurePlace(std::string_view text) {
  PathTracker tracker;
  json::sax_parse(text, &tracker);
  return tracker.failure;
}

}  // namespace hostarray
