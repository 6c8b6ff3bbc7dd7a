#include <gtest/gtest.h>

#include "kernel_test_support.h"

namespace {

using namespace kerneltest;

std::uint64_t codeWord(std::uint64_t index, bool gray) {
  return gray ? index ^ (index >> 1) : index;
}

ArrayPtr asWords(const Words& point) {
  return words(1, static_cast<std::uint32_t>(point.size()), point);
}

std::vector<ArrayPtr> hestraInputs(const ArrayPtr& V, double first, double leap, double n,
                                   bool gray) {
  return list(clone(V), scalar(first), scalar(leap), scalar(n), flag(gray));
}

TEST(Hestra, Runs) {
  std::mt19937_64 random(11);
  const ArrayPtr V = randomDirections(4, random);
  const Kernel hestra("Hestra");

  const ArrayPtr gray = hestra.call(hestraInputs(V, 0, 0, 4, true));
  ASSERT_EQ(gray->rows(), 4u);
  const Words expected[] = {Words(4, 0), column(V, 0), referencePoint(V, 3), column(V, 1)};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(row(gray, i), expected[i]) << "row " << i;

  // Flag and leap 2: the general path, row i has code-word G(first + 3i).
  const ArrayPtr leap = hestra.call(hestraInputs(V, 5, 2, 6, true));
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(row(leap, i), referencePoint(V, codeWord(5 + 3 * i, true))) << "row " << i;
  }

  // Six inputs with an empty last point behave as five.
  for (bool g : {false, true}) {
    std::vector<ArrayPtr> six = hestraInputs(V, 9, 0, 5, g);
    six.push_back(empty(qvUINT64_CLASS));
    const ArrayPtr a = hestra.call(six), b = hestra.call(hestraInputs(V, 9, 0, 5, g));
    EXPECT_TRUE(
        std::equal(a->as<std::uint64_t>(), a->as<std::uint64_t>() + 20, b->as<std::uint64_t>()));
  }

  const ArrayPtr none = hestra.call(hestraInputs(V, 3, 0, 0, true));
  EXPECT_EQ(none->rows(), 0u);
  EXPECT_EQ(none->columns(), 4u);
  // The count keeps the low 32 bits of its integer value.
  EXPECT_EQ(hestra.call(hestraInputs(V, 3, 0, 0x1p32 + 2, true))->rows(), 2u);
}

// A run continued from its last row equals one long run, on every path.
TEST(Hestra, ContinuationEqualsOneLongRun) {
  std::mt19937_64 random(12);
  const ArrayPtr V = randomDirections(9, random);
  const Kernel hestra("Hestra");
  for (bool gray : {false, true}) {
    for (double leap : {0.0, 3.0}) {
      SCOPED_TRACE(testing::Message() << "gray " << gray << " leap " << leap);
      const double first = 1000, step = leap + 1;
      const ArrayPtr whole = hestra.call(hestraInputs(V, first, leap, 17, gray));
      const ArrayPtr head = hestra.call(hestraInputs(V, first, leap, 10, gray));
      std::vector<ArrayPtr> tailInputs = hestraInputs(V, first + 10 * step, leap, 7, gray);
      tailInputs.push_back(asWords(row(head, 9)));
      const ArrayPtr tail = hestra.call(tailInputs);
      for (std::size_t i = 0; i < 17; ++i) {
        EXPECT_EQ(row(i < 10 ? head : tail, i < 10 ? i : i - 10), row(whole, i)) << "row " << i;
      }
    }
  }
}

// A last point is taken as given, true or not: row i is that point moved by the code-words
// from the index it stands for to first + i * step. Every path, including a negative leap.
TEST(Hestra, ContinuesFromAnyLastPoint) {
  std::mt19937_64 random(14);
  const std::uint32_t d = 6;
  const ArrayPtr V = randomDirections(d, random);
  Words last(d);
  for (auto& w : last) w = random() & ((1ull << 53) - 1);
  const Kernel hestra("Hestra");
  for (bool gray : {false, true}) {
    for (double leap : {0.0, 4.0, -2.0}) {
      SCOPED_TRACE(testing::Message() << "gray " << gray << " leap " << leap);
      const std::uint64_t first = 600;
      const auto step = static_cast<std::uint64_t>(static_cast<std::int64_t>(leap + 1));
      std::vector<ArrayPtr> inputs = hestraInputs(V, first, leap, 9, gray);
      inputs.push_back(asWords(last));
      const ArrayPtr run = hestra.call(inputs);
      const Words before = referencePoint(V, codeWord(first - step, gray));
      for (std::size_t i = 0; i < 9; ++i) {
        Words expected = referencePoint(V, codeWord(first + i * step, gray));
        for (std::size_t j = 0; j < d; ++j) expected[j] ^= before[j] ^ last[j];
        EXPECT_EQ(row(run, i), expected) << "row " << i;
      }
    }
  }
}

// A negative leap steps back: leap -2 gives indices first, first - 1, ...
TEST(Hestra, NegativeLeapStepsBack) {
  std::mt19937_64 random(15);
  const ArrayPtr V = randomDirections(3, random);
  const Kernel hestra("Hestra");
  for (bool gray : {false, true}) {
    const ArrayPtr run = hestra.call(hestraInputs(V, 10, -2, 4, gray));
    for (std::size_t i = 0; i < 4; ++i)
      EXPECT_EQ(row(run, i), referencePoint(V, codeWord(10 - i, gray))) << "row " << i;
  }
  // A count below one gives no rows.
  EXPECT_EQ(hestra.call(hestraInputs(V, 10, 0, -1, false))->rows(), 0u);
}

// Outside the caller's limits the kernel stays inside its arrays.
TEST(Hestra, SafeOutsideTheLimits) {
  std::mt19937_64 random(13);
  const ArrayPtr V = randomDirections(3, random);
  const Words last{1, 2, 3};
  const Kernel hestra("Hestra");
  struct Case {
    const char* name;
    double first;
    double leap;
  } const cases[] = {
      // first - 1 is all ones (first 0) or has its lowest zero at bit 53: the step changes no
      // bit that takes part, so row 0 is the last point.
      {"Gray step before index 0", 0, 0},
      {"Gray step at bit 53", 0x1p53, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<ArrayPtr> in = hestraInputs(V, c.first, c.leap, 3, true);
    in.push_back(asWords(last));
    const ArrayPtr out = hestra.call(in);
    EXPECT_EQ(row(out, 0), last);
  }
  // A last point longer than d uses its first d codes.
  std::vector<ArrayPtr> longer = hestraInputs(V, 1, 0, 2, true);
  longer.push_back(asWords({0, 0, 0, 99}));
  EXPECT_EQ(row(hestra.call(longer), 0), column(V, 0));
}

TEST(Hestra, RaisesInOrder) {
  std::mt19937_64 random(1);
  const ArrayPtr V = randomDirections(3, random);
  auto withLast = [&](ArrayPtr directions, ArrayPtr gray, ArrayPtr last) {
    return list(std::move(directions), scalar(0), scalar(0), scalar(2), std::move(gray),
                std::move(last));
  };
  const RaiseCase cases[] = {
      {"four inputs", list(clone(V), scalar(0), scalar(0), scalar(2)), "NumInputsHestra"},
      {"seven inputs",
       list(clone(V), scalar(0), scalar(0), scalar(2), flag(true), empty(qvUINT64_CLASS),
            scalar(0)),
       "NumInputsHestra"},
      {"double directions", withLast(doubles(3, 53, {}), scalar(1), scalar(1)),
       "InvalidDirectionNumbers"},
      {"52 columns", withLast(words(3, 52, {}), flag(true), asWords({1, 2, 3})),
       "InvalidDirectionNumbers"},
      {"flag of class double", withLast(clone(V), scalar(1), scalar(1)), "InvalidGrayCodeFlag"},
      {"last point of class double", withLast(clone(V), flag(true), scalar(1)), "InvalidLastX"},
      {"last point shorter than d", withLast(clone(V), flag(true), asWords({1, 2})),
       "InvalidLastX"},
  };
  const Kernel hestra("Hestra");
  expectRaises(hestra, cases);
}

// For random direction numbers every path of Hestra, and Fjorum, agree with Tavrel.
TEST(PointKernels, AgreeWithTavrelForRandomDirections) {
  std::mt19937_64 random(2024);
  const Kernel tavrel("Tavrel"), hestra("Hestra"), fjorum("Fjorum");
  for (std::uint32_t d : {1u, 7u, 8u, 9u, 20u}) {
    const ArrayPtr V = randomDirections(d, random);
    for (int trial = 0; trial < 6; ++trial) {
      const bool gray = trial % 2 == 0;
      const double leap = trial < 2 ? 0 : static_cast<double>(random() % 9);
      const double step = leap + 1;
      const auto n = static_cast<std::uint32_t>(1 + random() % 600);
      const double first = static_cast<double>(random() % (1ull << 40)) + step;
      auto tavrelAt = [&](double index) {
        return row(tavrel.call(list(clone(V), scalar(index), flag(gray))), 0);
      };
      std::vector<double> indices(n);
      for (std::size_t i = 0; i < n; ++i) indices[i] = first + static_cast<double>(i) * step;
      std::vector<ArrayPtr> fromLast = hestraInputs(V, first, leap, n, gray);
      fromLast.push_back(asWords(tavrelAt(first - step)));
      const ArrayPtr runs[] = {hestra.call(hestraInputs(V, first, leap, n, gray)),
                               hestra.call(fromLast),
                               fjorum.call(list(clone(V), doubles(n, 1, indices), flag(gray)))};
      for (std::size_t i = 0; i < n; i += 1 + i / 16) {
        const Words expected = tavrelAt(indices[i]);
        for (const auto& run : runs) {
          ASSERT_EQ(row(run, i), expected) << "d " << d << " trial " << trial << " row " << i;
        }
      }
      ASSERT_EQ(row(runs[0], n - 1), tavrelAt(indices[n - 1]));
    }
  }
}

}  // namespace
