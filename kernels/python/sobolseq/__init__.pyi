from typing import Literal, Optional, Sequence, Tuple, Union

import numpy as np
import numpy.typing as npt

__all__ = ["KERNELS", "KernelError", "LoadError", "call", "codes", "direction_numbers", "points"]
__version__: str

KERNELS: Tuple[str, ...]

class KernelError(Exception):
    @property
    def identifier(self) -> str: ...

class LoadError(OSError): ...

_Array = Union[npt.NDArray[np.float64], npt.NDArray[np.uint64], npt.NDArray[np.bool_]]
# A kernel input: an array, a number (1 x 1 double), a bool (1 x 1 logical), or a cell array.
_Input = Union[_Array, np.generic, float, bool, Sequence[Optional["_Input"]]]
_Order = Literal["gray", "natural"]

def call(kernel: str, *inputs: _Input, nlhs: int = 1) -> Tuple[Optional[_Array], ...]: ...
def direction_numbers(d: int) -> npt.NDArray[np.uint64]: ...
def codes(
    d: int,
    n: int,
    order: _Order = "gray",
    skip: int = 0,
    leap: int = 0,
    out: Optional[npt.NDArray[np.uint64]] = None,
) -> npt.NDArray[np.uint64]: ...
def points(
    d: int,
    n: int,
    order: _Order = "gray",
    skip: int = 0,
    leap: int = 0,
    out: Optional[npt.NDArray[np.float64]] = None,
) -> npt.NDArray[np.float64]: ...
