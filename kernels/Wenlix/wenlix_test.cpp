#include <gtest/gtest.h>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;

TEST(Wenlix, CodesToCoordinates) {
  const Kernel wenlix("Wenlix");
  const ArrayPtr out =
      wenlix.call(list(words(2, 3, {1ull << 52, (1ull << 53) - 1, 0, 1, 3ull << 51, ~0ull})));
  ASSERT_EQ(out->classId(), qvDOUBLE_CLASS);
  ASSERT_EQ(out->dims(), (std::vector<std::uint32_t>{2, 3}));
  EXPECT_EQ(doublesOf(out), (std::vector<double>{0.5, 1 - 0x1p-53, 0, 0x1p-53, 0.75, 2048}));

  const ArrayPtr none = wenlix.call(list(empty(qvUINT64_CLASS)));
  EXPECT_EQ(none->numberOfElements(), 0u);
  // More than two dimensions: rows by the product of the rest.
  const ArrayPtr cube =
      wenlix.call(list(hostarray::PlainArray::numeric(qvUINT64_CLASS, {2, 3, 4})));
  EXPECT_EQ(cube->dims(), (std::vector<std::uint32_t>{2, 12}));
}

TEST(Wenlix, RaisesInOrder) {
  const Kernel wenlix("Wenlix");
  EXPECT_EQ(wenlix.raised({}), "stats::sobolseq::NumInputsWenlix");
  EXPECT_EQ(wenlix.raised(list(scalar(1), scalar(1))), "stats::sobolseq::NumInputsWenlix");
  EXPECT_EQ(wenlix.raised(list(scalar(1))), "stats::sobolseq::InputClassWenlix");
}

}  // namespace
