from typing import Literal, Optional, Tuple, Union

import dask.array
import numpy as np

_Chunks = Union[int, Tuple[int, ...], Tuple[Tuple[int, ...], ...], str]

def random(
    d: int,
    n: int,
    *,
    chunks: _Chunks,
    scramble: Union[bool, Literal["owen"]] = True,
    seed: Union[None, int, np.random.Generator, np.random.RandomState] = None,
    bits: Optional[int] = None,
) -> dask.array.Array: ...
