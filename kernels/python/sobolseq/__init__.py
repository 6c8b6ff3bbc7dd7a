"""Sobol points from the kernels of this build, with numpy arrays.

    import sobolseq
    x = sobolseq.points(16, 2**20)            # 2^20 x 16 float64 in [0, 1), Gray-code order
    v = sobolseq.direction_numbers(16)        # 16 x 53 uint64
    (c,) = sobolseq.call("Ulvane", v, 1024.0, True)

Arrays are column-major, as the kernels keep them: results are Fortran-ordered and
inputs in that order are passed without a copy.
"""

import functools
import operator
import os

import numpy as np

from ._sobolseq import Kernel as _Kernel
from ._sobolseq import coordinates_by_blocks as _coordinates_by_blocks
from ._sobolseq import KernelError, LoadError
from ._engine import Sobol

__all__ = ["KERNELS", "KernelError", "LoadError", "call", "codes", "direction_numbers", "points"]
__version__ = "1.0"
__all__ += ["Sobol"]

KERNELS = ("Gormik", "Tavrel", "Hestra", "Fjorum", "Ulvane", "Wenlix", "Pirrok", "Zendal", "Lurvek")

_HERE = os.path.dirname(os.path.abspath(__file__))
# Installed, the kernels travel inside the package; the build puts the package in python/ and
# the kernels in bin/, side by side.
_KERNEL_DIR = os.path.join(_HERE, "kernels")
if not os.path.isdir(_KERNEL_DIR):
    _KERNEL_DIR = os.path.join(os.path.dirname(os.path.dirname(_HERE)), "bin")
_TABLE = os.path.join(_HERE, "sobol_direction_numbers.tsv")
_CODE_BITS = 53
_MAX_CELL_DEPTH = 64
_DTYPES = (np.dtype(np.float64), np.dtype(np.uint64), np.dtype(np.bool_))


@functools.lru_cache(maxsize=None)
def _kernel(name):
    if not isinstance(name, str):
        raise TypeError(f"a kernel is named by a string, not {type(name).__name__}")
    if name not in KERNELS:
        raise ValueError(f"unknown kernel {name!r}; the kernels are {', '.join(KERNELS)}")
    path = os.path.join(_KERNEL_DIR, name + ".so")
    # Elsewhere the host looks the name up in PLX_KERNEL_PATH.
    return _Kernel(path if os.path.isfile(path) else name)


def _input(value, depth=0):
    """One kernel input: a column-major array of a kernel class, or a list of them."""
    if isinstance(value, (list, tuple)):
        # A bound, so that a list holding itself is refused rather than followed.
        if depth >= _MAX_CELL_DEPTH:
            raise ValueError(f"cells may nest at most {_MAX_CELL_DEPTH} deep")
        return [None if v is None else _input(v, depth + 1) for v in value]
    if isinstance(value, bool):
        return np.full((1, 1), value)
    if isinstance(value, (int, float)):
        try:
            return np.full((1, 1), float(value))
        except OverflowError:
            raise ValueError(f"{value} does not fit a double") from None
    if isinstance(value, np.generic):
        value = np.asarray(value)  # a numpy scalar keeps its dtype
    if not isinstance(value, np.ndarray):
        raise TypeError(f"an input must be a numpy array, a number or a list, "
                        f"not {type(value).__name__}")
    if value.dtype not in _DTYPES:
        raise TypeError(f"arrays must be float64, uint64 or bool, not {value.dtype}")
    # No copy when the array is column-major already.
    return np.asfortranarray(value)


def call(kernel, *inputs, nlhs=1):
    """Calls a kernel by name and returns its output slots as a tuple of arrays.

    Inputs are numpy arrays of float64, uint64 or bool (a vector is a column), Python numbers
    (1 x 1 doubles) and bools (1 x 1 logicals), or lists for cell arrays (None for an unset
    cell). A kernel error raises KernelError, whose `identifier` is
    "stats::sobolseq::NAME".
    """
    nlhs = operator.index(nlhs)
    if nlhs < 0:
        raise ValueError("nlhs must be 0 or more")
    return _kernel(kernel)([_input(v) for v in inputs], nlhs)


@functools.lru_cache(maxsize=1)
def _table():
    """Gormik's inputs for every dimension of the shipped table: initial values, codes."""
    initial = [np.ones((1, _CODE_BITS))]  # dimension 1: code 1, every m equal to 1
    codes = [1.0]
    with open(_TABLE, encoding="ascii") as table:
        next(table)  # heading
        for line in table:
            fields = line.split()
            if not fields:
                continue
            s, a = int(fields[1]), int(fields[2])
            # Bit j of the code is the coefficient at lag j; `a` holds lag 1 in its top bit.
            code = 1 | 1 << s
            for j in range(1, s):
                code |= (a >> (s - 1 - j) & 1) << j
            codes.append(float(code))
            initial.append(np.array([[float(m) for m in fields[3:]]]))
    return initial, np.array([codes])


def _count(value, name, limit):
    value = operator.index(value)
    if not 0 <= value <= limit:
        raise ValueError(f"{name} must be from 0 to {limit}, not {value}")
    return value


def _dimensions():
    return len(_table()[0])


def direction_numbers(d):
    """The d x 53 uint64 direction numbers of the first d dimensions of the shipped table."""
    d = _count(d, "d", _dimensions())
    initial, codes = _table()
    (columns,) = _kernel("Gormik")([initial[:d], np.asfortranarray(codes[:, :d])], 1)
    return np.asfortranarray(columns.T)  # Gormik gives 53 x d


# Rows of one column converted while they are still in the cache: 512 KiB, half the L2 cache
# of the development machine, and far below the size from which kernels stream their stores.
_BLOCK_ROWS = 2**16


def _check_out(out, dtype, shape):
    if not isinstance(out, np.ndarray):
        raise TypeError(f"out must be a numpy array, not {type(out).__name__}")
    if out.dtype != dtype:
        raise TypeError(f"out must be of dtype {np.dtype(dtype)}, not {out.dtype}")
    if out.shape != shape:
        raise ValueError(f"out must have shape {shape}, not {out.shape}")
    if not (out.flags.f_contiguous and out.flags.writeable):
        raise ValueError("out must be a writable Fortran-ordered array")


class _Run:
    """A checked request for n points from index skip on, every (leap + 1)-th."""

    def __init__(self, d, n, order, skip, leap):
        self.d = _count(d, "d", _dimensions())
        self.n = _count(n, "n", 2**32 - 1)
        self.skip = _count(skip, "skip", 2**_CODE_BITS - 1)
        self.leap = _count(leap, "leap", 2**_CODE_BITS - 1)
        if order not in ("gray", "natural"):
            raise ValueError(f"order must be 'gray' or 'natural', not {order!r}")
        if self.n and self.skip + (self.n - 1) * (self.leap + 1) >= 2**_CODE_BITS:
            raise ValueError("the run goes past index 2^53 - 1")
        self.gray = np.full((1, 1), order == "gray")
        # Scalars filled in per call: a long run makes many.
        self._first, self._leap, self._count = np.zeros((1, 1)), np.zeros((1, 1)), np.zeros((1, 1))
        self._leap[0, 0] = self.leap

    def codes(self, V, first, count, out):
        """Codes of `count` points from row `first` on, for the dimensions of V, into `out`
        (memory of the right size) or a fresh array."""
        self._count[0, 0] = count
        if first == 0 and self.skip == 0 and self.leap == 0:
            inputs, kernel = [V, self._count, self.gray], "Ulvane"
        else:
            self._first[0, 0] = self.skip + first * (self.leap + 1)
            inputs, kernel = [V, self._first, self._leap, self._count, self.gray], "Hestra"
        (result,) = _kernel(kernel)(inputs, 1, out)
        return _into(out, result)


def _into(out, result):
    """`out` holding the result: the kernels write there, so this copies nothing."""
    if out is None:
        return result
    if result.ctypes.data != out.ctypes.data:
        out[...] = result
    return out


def codes(d, n, order="gray", skip=0, leap=0, out=None):
    """The uint64 codes of points skip, skip + leap + 1, ... (n of them) in d dimensions.

    Point i has code-word G(i) = i ^ (i >> 1) in Gray-code order ("gray"), i in "natural"
    order; its coordinates are the codes times 2^-53. The result is an n x d Fortran-ordered
    array; with `out` (n x d, uint64, Fortran-ordered) it is written there and `out` is
    returned.
    """
    run = _Run(d, n, order, skip, leap)
    if out is not None:
        _check_out(out, np.uint64, (run.n, run.d))
    return run.codes(direction_numbers(run.d), 0, run.n, out)


def points(d, n, order="gray", skip=0, leap=0, out=None):
    """The points of codes() as float64 coordinates in [0, 1), an n x d Fortran-ordered array.

    With `out` (n x d, float64, Fortran-ordered) the result is written there and `out` is
    returned; repeated generation then reuses that memory.
    """
    run = _Run(d, n, order, skip, leap)
    if out is None:
        out = np.empty((run.n, run.d), order="F")
    else:
        _check_out(out, np.float64, (run.n, run.d))
    # The codes go where the coordinates will be, and Wenlix converts them in place. A long run
    # goes a block of one column at a time, so that the conversion finds the codes in the cache
    # instead of making a second pass over memory.
    V = direction_numbers(run.d)
    if run.n <= _BLOCK_ROWS:
        memory = out.view(np.uint64)
        _kernel("Wenlix")([run.codes(V, 0, run.n, memory)], 1, memory)
    else:
        _coordinates_by_blocks(_kernel("Hestra"), _kernel("Wenlix"), V, float(run.skip),
                               float(run.leap), bool(run.gray[0, 0]), out, _BLOCK_ROWS)
    return out
