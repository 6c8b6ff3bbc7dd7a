// The message catalog: the identifiers the kernels raise and the text of each.
#include <string_view>

#include "plain_array.h"
#include "sobolseq.h"

hostmsg::BaseMsgID::~BaseMsgID() = default;

namespace stats::sobolseq {
#define SOBOLSEQ_DEFINE_IDENTIFIER(Name) \
  Name::Name() = default;                \
  Name::~Name() = default;               \
  const char* Name::className() const { return "stats::sobolseq::" #Name; }
SOBOLSEQ_IDENTIFIERS(SOBOLSEQ_DEFINE_IDENTIFIER)
#undef SOBOLSEQ_DEFINE_IDENTIFIER
}  // namespace stats::sobolseq

namespace hostarray {
namespace {

struct Text {
  std::string_view name;
  const char* text;
};

constexpr Text kTexts[] = {
    {"NumInputsGormik", "Gormik takes 2 inputs: the initial values and the polynomial codes."},
    {"InputSizesGormik", "Gormik needs one polynomial code for each cell of initial values."},
    {"InvalidInitialMValues",
     "The initial values must be a cell array holding, for each dimension, at least as many "
     "values as the degree of its polynomial code (which must not be 0) and at most 53."},
    {"NumInputsTavrel",
     "Tavrel takes 3 inputs: the direction numbers, an index and the "
     "Gray-code flag."},
    {"NumInputsHestra",
     "Hestra takes 5 or 6 inputs: the direction numbers, the first index, "
     "the leap, the count, the Gray-code flag and optionally the last point."},
    {"NumInputsFjorum",
     "Fjorum takes 3 inputs: the direction numbers, the indices and the "
     "Gray-code flag."},
    {"NumInputsUlvane",
     "Ulvane takes 3 inputs: the direction numbers, the count and the "
     "Gray-code flag."},
    {"NumInputsPirrok", "Pirrok takes 2 inputs: a matrix of words and one word per column."},
    {"InputSizesPirrok",
     "Pirrok needs a matrix of 64-bit words and exactly one 64-bit word per column of it."},
    {"NumInputsWenlix", "Wenlix takes 1 input: the point codes."},
    {"InputClassWenlix", "Wenlix needs point codes of class uint64."},
    {"InvalidDirectionNumbers",
     "The direction numbers must be a d x 53 matrix of 64-bit words, one row per dimension."},
    {"InvalidGrayCodeFlag", "The Gray-code flag must be a logical."},
    {"InvalidLastX",
     "The last point must be uint64 with at least as many elements as there are dimensions."},
};

}  // namespace

std::string messageText(std::string_view identifier) {
  constexpr std::string_view kPrefix = "stats::sobolseq::";
  if (identifier.starts_with(kPrefix)) identifier.remove_prefix(kPrefix.size());
  for (const Text& entry : kTexts) {
    if (entry.name == identifier) return entry.text;
  }
  return {};
}

}  // namespace hostarray
