"""Sobol points as a dask array, each block made where it is computed.

    import sobolseq.dask
    x = sobolseq.dask.random(16, 2**30, chunks=2**20, seed=7)    # 2^30 x 16, lazily
    estimate = x.map_blocks(f).mean().compute()

The array equals Sobol(d, scramble=scramble, seed=seed, bits=bits).random(n). The scramble is
drawn once, here; each block skips to its first index and makes its rows on the worker that
runs it, so nothing but the scramble's matrices and seeds travels to the workers.
"""

import operator

import dask.array as da
import numpy as np
from dask.base import tokenize
from dask.highlevelgraph import HighLevelGraph

from ._engine import Sobol


def _block(sequence, first, rows, start, stop):
    return sequence.columns(start, stop).points(first, rows)


def _offsets(sizes):
    return np.cumsum((0,) + tuple(sizes))[:-1].tolist()


def random(d, n, *, chunks, scramble=True, seed=None, bits=None):
    """The first n points of the engine Sobol(d, scramble=scramble, seed=seed, bits=bits) as an
    n x d float64 dask array.

    chunks: the blocks, as dask.array takes them for an n x d array: an int (blocks of that many
    rows, and of that many columns), a pair, explicit block sizes such as ((300, 700, 24), (16,)),
    or "auto". A block of rows from index i on costs what the same rows cost from 0.
    The engine's checks apply: more than 2**bits points raise ValueError, and n that is not a
    power of 2 warns as Sobol.random does.
    """
    engine = Sobol(d, scramble=scramble, seed=seed, bits=bits)
    n = operator.index(n)
    if n < 0:
        raise ValueError(f"n must be non-negative, not {n}")
    if n:
        engine._check_draw(n, stacklevel=2)  # the caller of this function
    sequence = engine._sequence
    chunks = da.core.normalize_chunks(chunks, shape=(n, engine.d), dtype=np.float64)
    name = "sobol-" + tokenize(sequence.__getstate__(), n, chunks)
    source = name + "-sequence"
    graph = {source: sequence}
    for i, (first, rows) in enumerate(zip(_offsets(chunks[0]), chunks[0])):
        for j, (start, columns) in enumerate(zip(_offsets(chunks[1]), chunks[1])):
            graph[(name, i, j)] = (_block, source, first, rows, start, start + columns)
    layers = HighLevelGraph.from_collections(name, graph, dependencies=())
    return da.Array(layers, name, chunks, dtype=np.float64, meta=np.empty((0, 0)))
