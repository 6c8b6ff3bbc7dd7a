// peerbench: the peer Sobol engine filling a buffer of the caller's, for bench/python_bench.py.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <boost/random/sobol.hpp>
#include <cstdint>

namespace py = pybind11;

PYBIND11_MODULE(peerbench, m) {
  // The first buffer.size codes of a d-dimensional set, in the order the engine yields them.
  m.def(
      "fill",
      [](py::array_t<std::uint64_t> buffer, unsigned d) {
        auto* data = buffer.mutable_data();
        const auto size = static_cast<std::size_t>(buffer.size());
        const py::gil_scoped_release unlocked;
        boost::random::sobol engine(d);
        for (std::size_t i = 0; i < size; ++i) data[i] = engine();
      },
      py::arg("buffer"), py::arg("d"));
}
