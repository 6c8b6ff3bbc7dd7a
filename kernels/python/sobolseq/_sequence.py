"""One Sobol sequence as an engine draws it: plain, linearly scrambled with a digital shift, or
nested (Owen) scrambled.

A Sequence holds only what defines its points, the scramble's draws, and makes the points of
any range of indices on its own: the direction words are made where the points are, so a
Sequence sent to another process carries its matrices and seeds and nothing else.
"""

import numpy as np

from ._sobolseq import engine_points as _engine_points
from ._sobolseq import scramble_linear as _scramble_linear
from ._words import direction_words

def scramble_kind(scramble):
    """True, False or "owen"; any other string is refused, other values count as their truth."""
    if isinstance(scramble, str):
        if scramble != "owen":
            raise ValueError(f"scramble must be True, False or 'owen', not {scramble!r}")
        return scramble
    return bool(scramble)


def _integers(rng, high, size, dtype):
    """Integers below high from a Generator or a RandomState, drawn as scipy draws them."""
    if isinstance(rng, np.random.Generator):
        return rng.integers(high, size=size, dtype=dtype)
    return rng.randint(high, size=size, dtype=dtype)


def _rows_of(matrices):
    """The rows of d lower-triangular bits x bits 0/1 matrices as digit masks: row p of a
    dimension has bit 63 - q for a 1 in column q."""
    d, bits, _ = matrices.shape
    packed = np.packbits(matrices.astype(np.uint8), axis=2, bitorder="big")
    padded = np.zeros((d, bits, 8), dtype=np.uint8)
    padded[:, :, : packed.shape[2]] = packed
    return np.ascontiguousarray(padded.view(">u8")[:, :, 0].astype(np.uint64))


def draw(d, bits, scramble, rng):
    """The Sequence of an engine, its scramble drawn from rng in the order scipy draws it:
    the shift's bits (lowest first), then the lower-triangular matrices, row by row."""
    kind = scramble_kind(scramble)
    if kind == "owen":
        return Sequence(d, bits, owen_seeds=_integers(rng, 2**64, d, np.uint64))
    if not kind:
        return Sequence(d, bits)
    dtype = np.uint32 if bits <= 32 else np.uint64
    shift_bits = _integers(rng, 2, (d, bits), dtype).astype(np.uint64)
    shift = np.bitwise_or.reduce(
        shift_bits << np.arange(64 - bits, 64, dtype=np.uint64), axis=1, dtype=np.uint64
    )
    matrices = np.tril(_integers(rng, 2, (d, bits, bits), dtype))
    matrices[:, np.arange(bits), np.arange(bits)] = 1  # the diagonal is always set
    return Sequence(d, bits, rows=_rows_of(matrices), shift=shift)


class Sequence:
    """Points of a Sobol sequence of d dimensions (from dimension `offset` of the table on)
    and `bits` bits, in Gray-code order.

    rows (d x bits digit masks) and shift (d words, left-justified) make a linear matrix
    scramble with a digital shift; owen_seeds (d words) a nested scramble.
    """

    def __init__(self, d, bits, *, offset=0, rows=None, shift=None, owen_seeds=None):
        self.d, self.bits, self.offset = d, bits, offset
        self.rows, self.shift, self.owen_seeds = rows, shift, owen_seeds
        self._words = None

    def columns(self, start, stop):
        """The sequence of dimensions start..stop-1 alone."""

        def part(a):
            return None if a is None else np.ascontiguousarray(a[start:stop])

        return Sequence(stop - start, self.bits, offset=self.offset + start, rows=part(self.rows),
                        shift=part(self.shift), owen_seeds=part(self.owen_seeds))

    def words(self):
        """The direction words, scrambled once."""
        if self._words is None:
            words = direction_words(self.offset, self.offset + self.d)
            if self.rows is not None:
                _scramble_linear(words, self.rows)
            self._words = words
        return self._words

    def points(self, first, n):
        """Points first..first+n-1 as a fresh n x d Fortran-ordered float64 array."""
        return _engine_points(self.words(), self.shift, self.owen_seeds, first, n)

    def __getstate__(self):
        state = dict(self.__dict__)
        state["_words"] = None  # made again where the points are
        return state
