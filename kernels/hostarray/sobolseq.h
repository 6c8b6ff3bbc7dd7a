// Message identifiers the Sobol kernels raise. The host's catalog defines them.
#pragma once

#include "host_api.h"

#define SOBOLSEQ_IDENTIFIERS(X) \
  X(NumInputsGormik)            \
  X(InputSizesGormik)           \
  X(InvalidInitialMValues)      \
  X(NumInputsTavrel)            \
  X(NumInputsHestra)            \
  X(NumInputsFjorum)            \
  X(NumInputsUlvane)            \
  X(NumInputsPirrok)            \
  X(InputSizesPirrok)           \
  X(NumInputsWenlix)            \
  X(InputClassWenlix)           \
  X(InvalidDirectionNumbers)    \
  X(InvalidGrayCodeFlag)        \
  X(InvalidLastX)

namespace stats::sobolseq {

#define SOBOLSEQ_DECLARE_IDENTIFIER(Name)                    \
  class QV_HOST_API Name final : public hostmsg::BaseMsgID { \
   public:                                                   \
    Name();                                                  \
    ~Name() override;                                        \
    const char* className() const override;                  \
  };
SOBOLSEQ_IDENTIFIERS(SOBOLSEQ_DECLARE_IDENTIFIER)
#undef SOBOLSEQ_DECLARE_IDENTIFIER

}  // namespace stats::sobolseq
