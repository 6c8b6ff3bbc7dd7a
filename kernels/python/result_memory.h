// Memory of large results. A fresh array from the system costs more than the points written into
// it (the system clears every page first), so the memory of large results that Python frees is
// kept, a few at a time, for the next results of the same size.
#pragma once

#include <pybind11/numpy.h>

#include <cstddef>

namespace resultmemory {

// A fresh n x d Fortran-ordered float64 array, its elements unset. From 4 MiB on it starts on a
// 2 MiB page and may take the memory of a freed result of the same size; up to 4 freed results,
// 1 GiB in all, are kept.
pybind11::array freshColumns(std::size_t n, std::size_t d);

}  // namespace resultmemory
