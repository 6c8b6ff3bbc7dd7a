#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "kernel_test_support.h"
#include "loader.h"
#include "plain_array.h"
#include "sobolseq.h"

namespace {

using hostarray::ArrayPtr;
using hostarray::OutputOffer;
using hostarray::PlainArray;
using namespace kerneltest;

ArrayPtr uninit(std::size_t rows, std::size_t cols, int classId = qvUINT64_CLASS) {
  return PlainArray::adopt(qvCreateUninitNumericMatrix(rows, cols, classId, qvREAL));
}

TEST(Host, OfferedMemoryTakesTheFirstOutputThatFits) {
  std::vector<std::uint64_t> memory(6, 7), inner(6, 9);
  auto untouched = [](const std::vector<std::uint64_t>& m, std::uint64_t v) {
    return m == std::vector<std::uint64_t>(6, v);
  };
  {
    const OutputOffer offer(memory.data(), 40);  // one element short of 2 x 3
    EXPECT_NE(uninit(2, 3)->data(), memory.data());
    EXPECT_TRUE(untouched(memory, 7));
  }
  {
    const OutputOffer offer(memory.data(), 48);
    const ArrayPtr first = uninit(2, 3), second = uninit(2, 3);
    EXPECT_EQ(first->data(), memory.data());
    EXPECT_FALSE(first->ownsData());
    EXPECT_NE(second->data(), memory.data());  // taken once
    EXPECT_TRUE(second->ownsData());
    EXPECT_TRUE(untouched(memory, 7));  // an uninitialized output keeps what was there
  }
  EXPECT_NE(uninit(2, 3)->data(), memory.data());  // the offer ended with its scope
  {
    const OutputOffer outer(memory.data(), 48);
    {
      const OutputOffer offer(inner.data(), 48);
      // A zero-filled output over offered memory is zero-filled; a double one of the same size
      // takes it as well.
      const ArrayPtr zeros = PlainArray::adopt(qvCreateDoubleMatrix(3, 2, qvREAL));
      EXPECT_EQ(zeros->data(), inner.data());
      EXPECT_TRUE(untouched(inner, 0));
    }
    EXPECT_EQ(uninit(6, 1, qvDOUBLE_CLASS)->data(), memory.data());
  }
}

TEST(Host, UninitializedArraysStartOnALineAndKeepTheirShape) {
  for (std::size_t rows : {0u, 1u, 3u, 1000u, 1u << 20}) {
    const ArrayPtr a = uninit(rows, 5);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a->data()) % 64, 0u) << rows;
    EXPECT_EQ(a->numberOfElements(), rows * 5);
  }
  const std::uint32_t dims[] = {2, 3, 4};
  const ArrayPtr cube = PlainArray::adopt(qvCreateUninitNumericArray(3, dims, qvDOUBLE_CLASS, 0));
  EXPECT_EQ(cube->dims(), (std::vector<std::uint32_t>{2, 3, 4}));
  EXPECT_EQ(cube->classId(), qvDOUBLE_CLASS);
}

// Through the loader: a kernel writes into the caller's memory, in place over its input where
// it maps elements one to one (Wenlix), and an error leaves the caller's memory to the caller.
TEST(Host, KernelsWriteIntoOfferedMemory) {
  std::mt19937_64 random(3);
  const ArrayPtr V = randomDirections(4, random);
  const hostarray::KernelModule ulvane("Ulvane"), wenlix("Wenlix");
  const ArrayPtr n = scalar(1000), gray = flag(true);
  const std::vector<const PlainArray*> inputs{V.get(), n.get(), gray.get()};
  const ArrayPtr fresh = std::move(ulvane.call(inputs).at(0));

  std::vector<std::uint64_t> memory(4000);
  const ArrayPtr placed =
      std::move(ulvane.call(inputs, 1, {memory.data(), memory.size() * 8}).at(0));
  ASSERT_EQ(placed->data(), memory.data());
  EXPECT_EQ(std::memcmp(memory.data(), fresh->data(), memory.size() * 8), 0);

  const ArrayPtr coordinates = std::move(wenlix.call({fresh.get()}).at(0));
  const ArrayPtr codes = PlainArray::view(qvUINT64_CLASS, {1000, 4}, memory.data());
  const ArrayPtr inPlace =
      std::move(wenlix.call({codes.get()}, 1, {memory.data(), memory.size() * 8}).at(0));
  ASSERT_EQ(inPlace->data(), memory.data());
  EXPECT_EQ(inPlace->classId(), qvDOUBLE_CLASS);
  EXPECT_EQ(std::memcmp(memory.data(), coordinates->data(), memory.size() * 8), 0);

  // Gormik creates its 53 x 2 output over the memory, then finds the second cell unset: the
  // output goes, the memory stays the caller's.
  const hostarray::KernelModule gormik("Gormik");
  const ArrayPtr initial = cells(list(doubles(1, 1, {1}), nullptr)), codes2 = doubles(1, 2, {1, 1});
  EXPECT_THROW(gormik.call({initial.get(), codes2.get()}, 1, {memory.data(), 53 * 2 * 8}),
               hostarray::KernelError);
  memory.assign(memory.size(), 1);
}

// Every identifier a kernel raises has a text in the catalog, and the error's message is the
// identifier, ": " and that text.
TEST(Host, KernelErrorsCarryTheCatalogsText) {
  const std::pair<std::string, void (*)()> raisers[] = {
#define SOBOLSEQ_RAISER(Name) {#Name, [] { qvErrMsgId(stats::sobolseq::Name{}); }},
      SOBOLSEQ_IDENTIFIERS(SOBOLSEQ_RAISER)
#undef SOBOLSEQ_RAISER
  };
  for (const auto& [name, raise] : raisers) {
    const std::string identifier = "stats::sobolseq::" + name;
    const std::string text = hostarray::messageText(name);
    EXPECT_GT(text.size(), 20u) << name;
    EXPECT_EQ(hostarray::messageText(identifier), text);
    try {
      raise();
    } catch (const hostarray::KernelError& e) {
      EXPECT_EQ(e.identifier(), identifier);
      EXPECT_EQ(std::string(e.what()), identifier + ": " + text);
    }
  }
  EXPECT_EQ(hostarray::messageText("stats::sobolseq::Unknown"), "");
  EXPECT_STREQ(hostarray::KernelError("stats::sobolseq::Unknown").what(),
               "stats::sobolseq::Unknown");
}

}  // namespace
