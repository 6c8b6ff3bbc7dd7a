// How kernels read their inputs through the host API. Inputs whose class a kernel does not
// check are read by what their elements are, so that no read leaves the array: 8-byte
// elements as they stand, logicals by value, cells as zero.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "host_api.h"
#include "sobolbits.h"
#include "sobolseq.h"

namespace kernelinputs {

inline bool holdsWords(const qvArray_tag* a) {
  const int c = qvGetClassID(a);
  return c == qvUINT64_CLASS || c == qvDOUBLE_CLASS;
}

inline std::uint64_t rawWord(const qvArray_tag* a, std::size_t i) {
  std::uint64_t word;
  std::memcpy(&word, static_cast<const char*>(qvGetData(a)) + i * sizeof word, sizeof word);
  return word;
}

// Element i read as a double (a 64-bit word's bits are taken as a double).
inline double doubleAt(const qvArray_tag* a, std::size_t i) {
  if (holdsWords(a)) return std::bit_cast<double>(rawWord(a, i));
  if (qvGetClassID(a) == qvLOGICAL_CLASS) return qvGetLogicals(a)[i] != 0 ? 1.0 : 0.0;
  return 0.0;
}

// Element i read as a 64-bit word (a double's bits are taken as a word).
inline std::uint64_t wordAt(const qvArray_tag* a, std::size_t i) {
  if (holdsWords(a)) return rawWord(a, i);
  if (qvGetClassID(a) == qvLOGICAL_CLASS) return qvGetLogicals(a)[i];
  return 0;
}

// The first element as a double; an empty array reads as 0.
inline double firstDouble(const qvArray_tag* a) {
  return qvGetNumberOfElements(a) == 0 ? 0.0 : doubleAt(a, 0);
}

// The Gray-code flag of a logical array; an empty one reads as clear.
inline bool flagSet(const qvArray_tag* a) {
  return qvGetNumberOfElements(a) != 0 && qvGetLogicals(a)[0] != 0;
}

inline std::uint32_t rowsOf(const qvArray_tag* a) { return a->get_dimensions()[0]; }

// A direction matrix must hold 53 columns of 64-bit words: the point routines read all of them.
inline bool holdsDirections(const qvArray_tag* V) {
  return holdsWords(V) &&
         qvGetNumberOfElements(V) >= std::size_t{rowsOf(V)} * sobolbits::kDirectionColumns;
}

inline const std::uint64_t* wordsOf(const qvArray_tag* a) {
  return static_cast<const std::uint64_t*>(qvGetData(a));
}
inline std::uint64_t* wordsOf(qvArray_tag* a) { return static_cast<std::uint64_t*>(qvGetData(a)); }

template <class Identifier>
[[noreturn]] void raise() {
  qvErrMsgId(Identifier{});
}

// The checks every point kernel makes. A V of class 15 with fewer than 53 columns would be read
// past its end: as faulty as the wrong class.
inline void requireDirectionNumbers(const qvArray_tag* V) {
  if (qvGetClassID(V) != qvUINT64_CLASS || !holdsDirections(V)) {
    raise<stats::sobolseq::InvalidDirectionNumbers>();
  }
}

inline void requireGrayCodeFlag(const qvArray_tag* flag) {
  if (qvGetClassID(flag) != qvLOGICAL_CLASS) raise<stats::sobolseq::InvalidGrayCodeFlag>();
}

}  // namespace kernelinputs
