"""The Python package sobolseq: the binding over the plain host, with the kernels inside.

The kernels land in sobolseq/kernels/ under their plain names (Gormik.so), the names the host
looks up, and the direction-number table beside the package's modules.
"""
import os
import re
import sysconfig

from pybind11.setup_helpers import Pybind11Extension, build_ext
from setuptools import setup
from setuptools.command.build_py import build_py

CXX_STD = 20


def read(path, pattern):
    with open(path, encoding="utf-8") as text:
        return re.search(pattern, text.read(), re.MULTILINE).group(1)


# The kernels as the project's build lists them; the version the package states.
KERNELS = read("CMakeLists.txt", r"^set\(TARVEX_KERNELS ([^)]*)\)").split()
VERSION = read(os.path.join("python", "sobolseq", "__init__.py"), r'^__version__ = "([^"]+)"')


def kernel(name):
    # Host functions resolve from the binding that loads the kernel, as with plxcall.
    return Pybind11Extension(f"sobolseq.kernels.{name}", [f"{name}/{name}.cpp"],
                             include_dirs=["hostarray", "sobolbits", "kernel_inputs"],
                             cxx_std=CXX_STD)


class BuildExt(build_ext):
    def finalize_options(self):
        super().finalize_options()
        if self.parallel is None:
            self.parallel = os.cpu_count() or 1

    def get_ext_filename(self, fullname):
        # Asked with the full name or its last part, depending on the caller.
        filename = super().get_ext_filename(fullname)
        if fullname.split(".")[-1] in KERNELS:
            filename = filename[:-len(sysconfig.get_config_var("EXT_SUFFIX"))] + ".so"
        return filename


class BuildPy(build_py):
    def run(self):
        super().run()
        self.copy_file(os.path.join("data", "sobol_direction_numbers.tsv"),
                       os.path.join(self.build_lib, "sobolseq"))


binding = Pybind11Extension(
    "sobolseq._sobolseq",
    ["python/sobolseq_module.cpp", "python/engine_module.cpp", "python/result_memory.cpp",
     "hostarray/plain_array.cpp", "hostarray/message_catalog.cpp", "hostarray/loader.cpp"],
    include_dirs=["hostarray", "sobolbits"],
    cxx_std=CXX_STD)

setup(
    version=VERSION,
    packages=["sobolseq"],
    package_dir={"sobolseq": "python/sobolseq"},
    package_data={"sobolseq": ["py.typed", "*.pyi"]},
    ext_modules=[binding] + [kernel(name) for name in KERNELS],
    libraries=[("sobolbits", {
        "sources": ["sobolbits/sobolbits.cpp", "sobolbits/point_tables.cpp",
                    "sobolbits/conversions.cpp", "sobolbits/engine_points.cpp",
                    "sobolbits/engine_scramble.cpp"],
        # The engine's block loops are left to the vectorizer, as in the CMake build.
        "cflags": [f"-std=c++{CXX_STD}", "-fvect-cost-model=dynamic"],
    })],
    cmdclass={"build_ext": BuildExt, "build_py": BuildPy},
)
