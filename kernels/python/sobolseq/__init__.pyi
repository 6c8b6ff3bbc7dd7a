from typing import Any, Literal, Optional, Sequence, Tuple, Union

import numpy as np
import numpy.typing as npt

__all__ = ["KERNELS", "KernelError", "LoadError", "call", "codes", "direction_numbers", "points",
           "Sobol"]
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

_Seed = Union[None, int, np.random.Generator, np.random.RandomState]
_Bounds = Union[int, Sequence[int], npt.NDArray[np.integer[Any]]]

class Sobol:
    d: int
    bits: int
    num_generated: int
    def __init__(
        self,
        d: int,
        *,
        scramble: Union[bool, Literal["owen"]] = True,
        bits: Optional[int] = None,
        seed: _Seed = None,
        optimization: Optional[Literal["random-cd", "lloyd"]] = None,
    ) -> None: ...
    def random(self, n: int = 1, *, workers: int = 1) -> npt.NDArray[np.float64]: ...
    def random_base2(self, m: int) -> npt.NDArray[np.float64]: ...
    def integers(
        self,
        l_bounds: _Bounds,
        u_bounds: Optional[_Bounds] = None,
        n: int = 1,
        endpoint: bool = False,
        *,
        workers: int = 1,
    ) -> npt.NDArray[np.int64]: ...
    def reset(self) -> "Sobol": ...
    def fast_forward(self, n: int) -> "Sobol": ...
