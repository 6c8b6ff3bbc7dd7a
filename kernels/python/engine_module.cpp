#include "engine_module.h"

#include <pybind11/numpy.h>

#include <cstdint>
#include <string>

#include "result_memory.h"
#include "sobol_engine.h"

namespace py = pybind11;

namespace {

// The package hands these over as it makes them; a wrong one is a fault of the package.
void require(bool condition, const char* what) {
  if (!condition) throw py::value_error(std::string("engine: ") + what);
}

bool holdsWords(const py::array& a) { return a.dtype().equal(py::dtype::of<std::uint64_t>()); }

// d x 64 words, one dimension after another.
std::size_t dimensionsOf(const py::array& words) {
  require(holdsWords(words) && words.ndim() == 2 && words.shape(1) == sobolbits::kEngineWords &&
              (words.flags() & py::array::c_style),
          "words must be a C-ordered d x 64 uint64 array");
  return static_cast<std::size_t>(words.shape(0));
}

const std::uint64_t* perDimension(const py::object& value, std::size_t d, const char* name) {
  if (value.is_none()) return nullptr;
  require(py::isinstance<py::array>(value), name);
  const auto a = py::reinterpret_borrow<py::array>(value);
  require(holdsWords(a) && a.ndim() == 1 && static_cast<std::size_t>(a.shape(0)) == d &&
              (a.flags() & py::array::c_style),
          name);
  return static_cast<const std::uint64_t*>(a.data());
}

void scrambleLinear(py::array words, const py::array& rows) {
  const std::size_t d = dimensionsOf(words);
  require(words.writeable(), "words must be writable");
  require(holdsWords(rows) && rows.ndim() == 2 && static_cast<std::size_t>(rows.shape(0)) == d &&
              rows.shape(1) >= 1 && rows.shape(1) <= sobolbits::kEngineWords &&
              (rows.flags() & py::array::c_style),
          "rows must be a C-ordered d x bits uint64 array");
  auto* w = static_cast<std::uint64_t*>(words.mutable_data());
  const auto* r = static_cast<const std::uint64_t*>(rows.data());
  const auto bits = static_cast<std::uint32_t>(rows.shape(1));
  const py::gil_scoped_release unlocked;
  sobolbits::scrambleLinear(w, d, r, bits);
}

py::array enginePoints(const py::array& words, const py::object& shift, const py::object& owenSeeds,
                       std::uint64_t first, std::size_t n) {
  const std::size_t d = dimensionsOf(words);
  const sobolbits::EngineScramble scramble{perDimension(shift, d, "shift must be d uint64 words"),
                                           perDimension(owenSeeds, d, "seeds must be d words")};
  py::array out = resultmemory::freshColumns(n, d);
  const auto* w = static_cast<const std::uint64_t*>(words.data());
  auto* o = static_cast<double*>(out.mutable_data());
  {
    const py::gil_scoped_release unlocked;
    sobolbits::enginePoints(w, d, scramble, first, n, o);
  }
  return out;
}

}  // namespace

void addEngineFunctions(py::module_& m) {
  m.def("scramble_linear", &scrambleLinear, py::arg("words"), py::arg("rows"),
        "Applies lower-triangular matrices (d x bits rows of digit masks) to d x 64 direction "
        "words in place.");
  m.def("engine_points", &enginePoints, py::arg("words"), py::arg("shift"), py::arg("owen_seeds"),
        py::arg("first"), py::arg("n"),
        "Points first, first + 1, ... (Gray-code order): a fresh n x d Fortran-ordered array.");
}
