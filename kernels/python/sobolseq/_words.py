"""Direction words of the engine: 64 per dimension, left-justified in 64 bits.

Word c of a dimension is its direction number m_c times 2^(63 - c). The first 53 come from the
kernels' direction numbers (m_c times 2^(52 - c)); the rest continue their recurrence.
"""

import functools

import numpy as np

WORDS = 64


@functools.lru_cache(maxsize=1)
def _all_words():
    from . import _dimensions, _table, direction_numbers

    d = _dimensions()
    top = direction_numbers(d)
    columns = top.shape[1]
    m = np.zeros((d, WORDS), dtype=np.uint64)
    m[:, :columns] = top >> (np.uint64(columns - 1) - np.arange(columns, dtype=np.uint64))
    # Bit j of a polynomial code is its coefficient at lag j; its top bit gives the degree.
    codes = [int(code) for code in _table()[1][0]]
    degrees = np.array([code.bit_length() - 1 for code in codes])
    lags = np.array([[code >> j & 1 for j in range(degrees.max() + 1)] for code in codes], bool)
    rows = np.arange(d)
    for k in range(columns, WORDS):
        value = m[rows, k - degrees]
        for j in range(1, degrees.max() + 1):
            value ^= np.where(lags[:, j], m[:, k - j] << np.uint64(j), np.uint64(0))
        m[:, k] = value
    # Dimension 1 (degree 0) has every m equal to 1.
    m[degrees == 0, columns:] = 1
    words = m << (np.uint64(WORDS - 1) - np.arange(WORDS, dtype=np.uint64))
    words.setflags(write=False)
    return words


def direction_words(start, stop):
    """The words of dimensions start..stop-1 (0-based), a C-ordered (stop - start) x 64 copy."""
    return np.array(_all_words()[start:stop])
