#include "plx_json.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;
using hostarray::PlainArray;
using nlohmann::json;

// The tree of JSON values plxcall built before it streamed; its dump is the reference text.
json treeJson(const PlainArray* array) {
  if (!array) return nullptr;
  const char* name = array->classId() == qvCELL_CLASS     ? "cell"
                     : array->classId() == qvDOUBLE_CLASS ? "double"
                     : array->classId() == qvUINT64_CLASS ? "uint64"
                                                          : "logical";
  json list = json::array();
  for (std::size_t i = 0; i < array->numberOfElements(); ++i) {
    switch (array->classId()) {
      case qvCELL_CLASS:
        list.push_back(treeJson(array->cellAt(i)));
        break;
      case qvDOUBLE_CLASS: {
        const double x = array->as<double>()[i];
        list.push_back(std::isnan(x)   ? json("NaN")
                       : std::isinf(x) ? json(x > 0 ? "Inf" : "-Inf")
                                       : json(x));
        break;
      }
      case qvUINT64_CLASS:
        list.push_back(array->as<std::uint64_t>()[i]);
        break;
      default:
        list.push_back(array->as<qvLogical>()[i] != 0);
    }
  }
  return {{"class", name},
          {"dims", array->dims()},
          {array->classId() == qvCELL_CLASS ? "cells" : "data", std::move(list)}};
}

std::string streamed(const PlainArray* array) {
  std::ostringstream out;
  hostarray::writeArray(out, array);
  return out.str();
}

ArrayPtr logicals(std::uint32_t rows, std::uint32_t cols, const std::vector<qvLogical>& data) {
  ArrayPtr a = PlainArray::numeric(qvLOGICAL_CLASS, {rows, cols});
  std::copy(data.begin(), data.end(), a->as<qvLogical>());
  return a;
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(PlxJson, StreamedTextIsTheTreeDump) {
  std::mt19937_64 random(5);
  std::vector<double> bitPatterns(4096), everyday(4096);
  for (double& x : bitPatterns) x = std::bit_cast<double>(random());
  for (double& x : everyday) x = std::ldexp(static_cast<double>(random() >> 11), -40) - 4096;
  const std::vector<double> special{0,
                                    -0.0,
                                    1,
                                    -1,
                                    0.1,
                                    1e-5,
                                    1e-7,
                                    1e15,
                                    1e16,
                                    1e17,
                                    1e21,
                                    0x1p53,
                                    0x1p64,
                                    123456.789,
                                    1e300,
                                    -1e-300,
                                    5e-324,
                                    2.2250738585072014e-308,
                                    std::numeric_limits<double>::max(),
                                    kNaN,
                                    kInf,
                                    -kInf};
  const struct {
    const char* name;
    ArrayPtr array;
  } cases[] = {
      {"unset", nullptr},
      {"uint64 extremes", words(2, 3, {0, 1, 1ull << 53, 1ull << 63, ~0ull - 1, ~0ull})},
      {"special doubles", doubles(1, static_cast<std::uint32_t>(special.size()), special)},
      {"random bit patterns", doubles(64, 64, bitPatterns)},
      {"everyday doubles", doubles(4096, 1, everyday)},
      {"logicals", logicals(2, 2, {0, 1, 2, 255})},
      {"empty", doubles(0, 0, {})},
      {"no columns", words(3, 0, {})},
      {"three dimensions", PlainArray::numeric(qvDOUBLE_CLASS, {2, 1, 2})},
      {"nested cells", cells(list(words(1, 2, {~0ull, 7}), nullptr,
                                  cells(list(doubles(1, 2, {kNaN, -kInf}), logicals(0, 1, {}))),
                                  empty(qvCELL_CLASS)))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = streamed(c.array.get());
    EXPECT_EQ(text, treeJson(c.array.get()).dump());
    if (c.array) {
      // And it reads back as the same array.
      EXPECT_EQ(streamed(hostarray::arrayFromJson(json::parse(text), "x").get()), text);
    }
  }
  // The text itself, for a reader that does not go through json.
  EXPECT_EQ(streamed(cases[1].array.get()),
            R"({"class":"uint64","data":[0,1,9007199254740992,9223372036854775808,)"
            R"(18446744073709551614,18446744073709551615],"dims":[2,3]})");
  EXPECT_EQ(
      streamed(cells(list(doubles(1, 4, {kNaN, kInf, -kInf, 0.5}), nullptr, logicals(1, 2, {1, 0})))
                   .get()),
      R"({"cells":[{"class":"double","data":["NaN","Inf","-Inf",0.5],"dims":[1,4]},null,)"
      R"({"class":"logical","data":[true,false],"dims":[1,2]}],"class":"cell","dims":[1,3]})");
}

// A list must hold as many elements as the dims multiply to: one more would be written past
// the array, one less would leave an element unset.
TEST(PlxJson, ListsHoldExactlyTheElementsOfTheirDims) {
  const struct {
    const char* text;
    const char* refusal;  // nothing when the array reads
  } cases[] = {
      {R"({"class": "double", "dims": [2, 1], "data": [1, 2]})", nullptr},
      {R"({"class": "double", "dims": [2, 1], "data": [1]})", R"(x: "data" must list 2 elements)"},
      {R"({"class": "double", "dims": [2, 1], "data": [1, 2, 3]})",
       R"(x: "data" must list 2 elements)"},
      {R"({"class": "uint64", "dims": [1, 2], "data": [1, 2, 3, 4]})",
       R"(x: "data" must list 2 elements)"},
      {R"({"class": "logical", "dims": [0, 3], "data": [true]})",
       R"(x: "data" must list 0 elements)"},
      {R"({"class": "cell", "dims": [1, 1], "cells": [null, null]})",
       R"(x: "cells" must list 1 elements)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      const ArrayPtr array = hostarray::arrayFromJson(json::parse(c.text), "x");
      EXPECT_EQ(c.refusal, nullptr);
      EXPECT_EQ(array->numberOfElements(), 2u);
    } catch (const hostarray::JsonFormatError& e) {
      ASSERT_NE(c.refusal, nullptr) << e.what();
      EXPECT_STREQ(e.what(), c.refusal);
    }
  }
}

TEST(PlxJson, OutputsInOneObject) {
  std::vector<ArrayPtr> outputs = list(words(1, 1, {~0ull}), ArrayPtr{}, doubles(1, 1, {-0.0}));
  std::ostringstream out;
  hostarray::writeOutputs(out, outputs);
  json tree{{"outputs", json::array()}};
  for (const ArrayPtr& output : outputs) tree["outputs"].push_back(treeJson(output.get()));
  EXPECT_EQ(out.str(), tree.dump());
  std::ostringstream none;
  hostarray::writeOutputs(none, {});
  EXPECT_EQ(none.str(), R"({"outputs":[]})");
}

// A stream whose every write fails, counting the attempts.
class FailingBuffer : public std::streambuf {
 public:
  int attempts = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize) override {
    ++attempts;
    return 0;
  }
  int_type overflow(int_type) override {
    ++attempts;
    return traits_type::eof();
  }
};

TEST(PlxJson, StopsWritingOnceTheStreamFails) {
  FailingBuffer buffer;
  std::ostream out(&buffer);
  const ArrayPtr large = PlainArray::numeric(qvDOUBLE_CLASS, {1 << 20, 4});
  hostarray::writeOutputs(out, list(clone(large), clone(large)));
  EXPECT_TRUE(out.bad());
  EXPECT_EQ(buffer.attempts, 1);
}

}  // namespace
