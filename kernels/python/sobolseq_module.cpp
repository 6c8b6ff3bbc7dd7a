// _sobolseq: the plain host's kernels for Python. Numpy arrays go in as views of their memory
// when they are column-major (the package's Python layer makes them so); outputs come out as
// numpy arrays that own the host's memory, or over the memory the caller offered.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine_module.h"
#include "loader.h"
#include "plain_array.h"

namespace py = pybind11;

namespace {

using hostarray::ArrayPtr;
using hostarray::PlainArray;

// Cells nest; a bound keeps a list that holds itself from exhausting the stack.
constexpr int kMaxCellDepth = 64;

int classOf(const py::dtype& dtype) {
  if (dtype.is(py::dtype::of<double>())) return qvDOUBLE_CLASS;
  if (dtype.is(py::dtype::of<std::uint64_t>())) return qvUINT64_CLASS;
  if (dtype.is(py::dtype::of<bool>())) return qvLOGICAL_CLASS;
  // Equal but distinct dtype objects (from pickling, say) compare by value.
  if (dtype.equal(py::dtype::of<double>())) return qvDOUBLE_CLASS;
  if (dtype.equal(py::dtype::of<std::uint64_t>())) return qvUINT64_CLASS;
  if (dtype.equal(py::dtype::of<bool>())) return qvLOGICAL_CLASS;
  throw py::type_error("arrays must be float64, uint64 or bool, not " +
                       py::str(py::handle(dtype)).cast<std::string>());
}

py::dtype dtypeOf(int classId) {
  switch (classId) {
    case qvDOUBLE_CLASS:
      return py::dtype::of<double>();
    case qvUINT64_CLASS:
      return py::dtype::of<std::uint64_t>();
    case qvLOGICAL_CLASS:
      return py::dtype::of<bool>();
    default:
      throw std::runtime_error("a kernel returned an array of class " + std::to_string(classId));
  }
}

std::uint32_t dimension(py::ssize_t size) {
  if (size > py::ssize_t{0xffffffff}) throw py::value_error("a dimension is over 2^32 - 1");
  return static_cast<std::uint32_t>(size);
}

// A 0-d array is 1 x 1, a vector n x 1.
std::vector<std::uint32_t> dimsOf(const py::array& a) {
  std::vector<std::uint32_t> dims;
  for (py::ssize_t i = 0; i < a.ndim(); ++i) dims.push_back(dimension(a.shape(i)));
  while (dims.size() < 2) dims.push_back(1);
  return dims;
}

ArrayPtr toArray(py::handle value, int depth) {
  if (py::isinstance<py::list>(value)) {
    if (depth >= kMaxCellDepth) {
      throw py::value_error("cells may nest at most " + std::to_string(kMaxCellDepth) + " deep");
    }
    const auto list = py::reinterpret_borrow<py::list>(value);
    ArrayPtr cell = PlainArray::cell({1, dimension(static_cast<py::ssize_t>(list.size()))});
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (!list[i].is_none()) cell->setCell(i, toArray(list[i], depth + 1));
    }
    return cell;
  }
  if (!py::isinstance<py::array>(value)) {
    throw py::type_error("an input must be a numpy array or a list, not " +
                         py::str(py::type::of(value)).cast<std::string>());
  }
  const auto a = py::reinterpret_borrow<py::array>(value);
  const int classId = classOf(a.dtype());
  const auto flags = a.flags();
  if (!(flags & py::array::f_style) || !(flags & py::detail::npy_api::NPY_ARRAY_ALIGNED_)) {
    throw py::value_error("arrays must be column-major and aligned");
  }
  return PlainArray::view(classId, dimsOf(a), const_cast<void*>(a.data()));
}

// Column-major strides of the dimensions.
std::vector<py::ssize_t> stridesOf(const std::vector<py::ssize_t>& shape, py::ssize_t item) {
  std::vector<py::ssize_t> strides;
  for (py::ssize_t s : shape) {
    strides.push_back(item);
    item *= std::max<py::ssize_t>(s, 1);
  }
  return strides;
}

py::object toPython(ArrayPtr array, const py::object& offered) {
  if (!array) return py::none();
  if (array->classId() == qvCELL_CLASS) {
    py::list list;
    for (std::size_t i = 0; i < array->numberOfElements(); ++i) {
      const PlainArray* element = array->cellAt(i);
      list.append(element ? toPython(element->clone(), py::none()) : py::none());
    }
    return list;
  }
  const py::dtype dtype = dtypeOf(array->classId());
  const std::vector<py::ssize_t> shape(array->dims().begin(), array->dims().end());
  const auto strides = stridesOf(shape, dtype.itemsize());
  void* data = array->data();
  if (!array->ownsData()) {
    // Made over the offered memory: a view of it that keeps the offered array alive.
    return py::array(dtype, shape, strides, data, offered);
  }
  // The numpy array owns the host's array through a capsule.
  PlainArray* owned = array.release();
  py::capsule base(owned, [](void* p) { delete static_cast<PlainArray*>(p); });
  return py::array(dtype, shape, strides, data, base);
}

class Kernel {
 public:
  explicit Kernel(const std::string& nameOrPath) : module_(nameOrPath) {}

  // Calls the kernel; `out`, when given, is memory offered for its output (a writable,
  // contiguous array), and an output made over it is returned as a view of it.
  py::tuple call(const py::list& inputs, int nlhs, const py::object& out) const {
    if (nlhs < 0) throw py::value_error("nlhs must be 0 or more");
    std::vector<ArrayPtr> arrays;
    std::vector<const PlainArray*> handles;
    for (py::handle input : inputs) {
      arrays.push_back(toArray(input, 0));
      handles.push_back(arrays.back().get());
    }
    hostarray::OutputMemory memory;
    if (!out.is_none()) {
      auto offered = py::reinterpret_borrow<py::array>(out);
      if (!offered.writeable() || !(offered.flags() & py::array::f_style)) {
        throw py::value_error("out must be a writable column-major array");
      }
      memory = {offered.mutable_data(), static_cast<std::size_t>(offered.nbytes())};
    }
    std::vector<ArrayPtr> outputs;
    {
      const py::gil_scoped_release unlocked;
      outputs = module_.call(handles, nlhs, memory);
    }
    py::tuple result(outputs.size());
    for (std::size_t i = 0; i < outputs.size(); ++i) {
      result[i] = toPython(std::move(outputs[i]), out);
    }
    return result;
  }

  const std::string& path() const { return module_.path(); }
  const hostarray::KernelModule& module() const { return module_; }

 private:
  hostarray::KernelModule module_;
};

ArrayPtr scalar(int classId) { return PlainArray::numeric(classId, {1, 1}); }

// Calls a kernel over memory offered for its output, which it is to write there.
void callInto(const hostarray::KernelModule& kernel, const std::vector<const PlainArray*>& inputs,
              void* memory, std::size_t bytes) {
  const std::vector<ArrayPtr> outputs = kernel.call(inputs, 1, {memory, bytes});
  if (outputs[0]->data() != memory) std::memcpy(memory, outputs[0]->data(), bytes);
}

// The coordinates of points skip, skip + leap + 1, ... into `out` (n x d float64, column-major),
// a block of one column at a time: Hestra writes the block's codes there and Wenlix turns them
// into coordinates in place while they are still in the cache. The caller checks the arguments.
void coordinatesByBlocks(const Kernel& hestra, const Kernel& wenlix, const py::array& V,
                         double skip, double leap, bool gray, py::array out,
                         std::size_t blockRows) {
  if (classOf(V.dtype()) != qvUINT64_CLASS || classOf(out.dtype()) != qvDOUBLE_CLASS ||
      V.ndim() != 2 || out.ndim() != 2 || V.shape(1) != 53 || V.shape(0) != out.shape(1) ||
      !(V.flags() & py::array::f_style) || !(out.flags() & py::array::f_style) ||
      !out.writeable() || blockRows == 0) {
    throw py::value_error("coordinatesByBlocks: V must be d x 53 words, out n x d doubles");
  }
  const auto d = static_cast<std::size_t>(V.shape(0)), n = static_cast<std::size_t>(out.shape(0));
  const auto* v = static_cast<const std::uint64_t*>(V.data());
  auto* data = static_cast<double*>(out.mutable_data());
  const ArrayPtr row = PlainArray::numeric(qvUINT64_CLASS, {1, 53});
  const ArrayPtr first = scalar(qvDOUBLE_CLASS), leapScalar = scalar(qvDOUBLE_CLASS),
                 count = scalar(qvDOUBLE_CLASS), flag = scalar(qvLOGICAL_CLASS);
  leapScalar->as<double>()[0] = leap;
  flag->as<qvLogical>()[0] = gray;
  const py::gil_scoped_release unlocked;
  for (std::size_t j = 0; j < d; ++j) {
    for (std::size_t k = 0; k < 53; ++k) row->as<std::uint64_t>()[k] = v[k * d + j];
    for (std::size_t r = 0; r < n; r += blockRows) {
      const std::size_t rows = std::min(blockRows, n - r);
      first->as<double>()[0] = skip + static_cast<double>(r) * (leap + 1);
      count->as<double>()[0] = static_cast<double>(rows);
      double* block = data + j * n + r;
      callInto(hestra.module(), {row.get(), first.get(), leapScalar.get(), count.get(), flag.get()},
               block, rows * 8);
      const ArrayPtr codes = PlainArray::view(qvUINT64_CLASS, {dimension(rows), 1}, block);
      callInto(wenlix.module(), {codes.get()}, block, rows * 8);
    }
  }
}

}  // namespace

PYBIND11_MODULE(_sobolseq, m) {
  m.doc() = "The Sobol kernels through the plain host.";
  // The message names the identifier and gives its text; `identifier` is the name alone.
  static const py::handle kernelError =
      py::exception<hostarray::KernelError>(m, "KernelError").release();
  kernelError.attr("__doc__") =
      "A kernel raised an error. `identifier` names it (\"stats::sobolseq::NAME\"); the message "
      "gives the identifier and its text.";
  kernelError.attr("__module__") = "sobolseq";
  py::register_exception_translator([](std::exception_ptr raised) {
    try {
      if (raised) std::rethrow_exception(raised);
    } catch (const hostarray::KernelError& e) {
      py::object error = kernelError(e.what());
      error.attr("identifier") = e.identifier();
      PyErr_SetObject(kernelError.ptr(), error.ptr());
    }
  });
  auto loadError = py::register_exception<hostarray::LoadError>(m, "LoadError", PyExc_OSError);
  loadError.attr("__doc__") = "A kernel module could not be loaded.";
  loadError.attr("__module__") = "sobolseq";
  py::class_<Kernel>(m, "Kernel")
      .def(py::init<const std::string&>(), py::arg("name_or_path"))
      .def("__call__", &Kernel::call, py::arg("inputs"), py::arg("nlhs") = 1,
           py::arg("out") = py::none())
      .def_property_readonly("path", &Kernel::path);
  m.def("coordinates_by_blocks", &coordinatesByBlocks, py::arg("hestra"), py::arg("wenlix"),
        py::arg("V"), py::arg("skip"), py::arg("leap"), py::arg("gray"), py::arg("out"),
        py::arg("block_rows"));
  addEngineFunctions(m);
}
