"""Sobol, a quasi-Monte Carlo engine with scipy's interface, on the sequences of _sequence."""

import copy
import numbers
import operator
import warnings

import numpy as np

from ._sequence import draw, scramble_kind

try:
    from scipy.stats import qmc as _qmc
except ImportError:  # the engine works without scipy, as a plain class
    _qmc = None

_Base = _qmc.QMCEngine if _qmc is not None else object
_DEFAULT_BITS = 30
_MAX_BITS = 64


def _check_random_state(seed):
    """A numpy Generator (or RandomState) from a seed, as scipy's engines make it."""
    if seed is None or isinstance(seed, (numbers.Integral, np.integer)):
        return np.random.default_rng(seed)
    if isinstance(seed, (np.random.RandomState, np.random.Generator)):
        return seed
    raise ValueError(f"{seed!r} cannot be used to seed a numpy.random.Generator instance")


def _check_bits(bits):
    bits = _DEFAULT_BITS if bits is None else operator.index(bits)
    if bits > _MAX_BITS:
        raise ValueError("Maximum supported 'bits' is 64")
    if bits < 1:
        raise ValueError(f"'bits' must be from 1 to 64, not {bits}")
    return bits


def _scale(sample, l_bounds, u_bounds):
    """sample * (u - l) + l, with scipy's checks of the bounds."""
    if _qmc is not None:
        return _qmc.scale(sample, l_bounds, u_bounds)
    try:
        lower = np.broadcast_to(l_bounds, sample.shape[1])
        upper = np.broadcast_to(u_bounds, sample.shape[1])
    except ValueError as exc:
        raise ValueError("'l_bounds' and 'u_bounds' must be broadcastable and respect"
                         " the sample dimension") from exc
    if not np.all(lower < upper):
        raise ValueError("Bounds are not consistent 'l_bounds' < 'u_bounds'")
    return sample * (upper - lower) + lower


class Sobol(_Base):
    """Engine for Sobol' sequences, plain or scrambled, with scipy's interface.

    Sobol(d, *, scramble=True, bits=None, seed=None, optimization=None)

    d: the dimension, up to MAXDIM (1111, the shipped table).
    scramble: True for a linear matrix scramble with a digital shift, drawn from the seed's
        generator as scipy draws it (the same seed gives the same points); False for none;
        "owen" for nested uniform scrambling by a hash of each point's digits.
    bits: the bits of the sequence (default 30, at most 64): at most 2**bits points.
    seed: None, an int, or a numpy Generator (used as it is).
    optimization: None, "random-cd" or "lloyd", as scipy applies them (needs scipy).

    Points come in Gray-code order from index 0, as Fortran-ordered n x d float64 arrays in
    [0, 1). The engine only counts the points drawn: any index range is made on its own, so
    fast_forward costs nothing. Where scipy is installed the engine is a
    scipy.stats.qmc.QMCEngine.
    """

    __module__ = "sobolseq"
    MAXDIM = 1111

    def __init__(self, d, *, scramble=True, bits=None, seed=None, optimization=None):
        kind = scramble_kind(scramble)
        # What scipy's qmc_quad needs to make independent engines like this one.
        self._init_quad = {"d": d, "scramble": kind or True, "bits": bits,
                           "optimization": optimization}
        if _qmc is not None:
            super().__init__(d=d, optimization=optimization, seed=seed)
        else:
            self._init_plain(d, optimization, seed)
        if d > self.MAXDIM:
            raise ValueError(f"Maximum supported dimensionality is {self.MAXDIM}.")
        self.bits = _check_bits(bits)
        self.maxn = 2**self.bits
        self.scramble = kind
        self._sequence = draw(self.d, self.bits, kind, self.rng)

    def _init_plain(self, d, optimization, seed):
        if not np.issubdtype(type(d), np.integer) or d < 0:
            raise ValueError("d must be a non-negative integer value")
        if optimization is not None:
            raise ImportError("optimization needs scipy")
        self.d = d
        self.rng = _check_random_state(seed)
        self.rng_seed = copy.deepcopy(seed)
        self.num_generated = 0
        self.optimization_method = None

    def _check_draw(self, n, stacklevel):
        """scipy's checks of drawing n > 0 points: ValueError past 2**bits points, and a warning
        when a first draw is not a power of 2 (stacklevel as warnings.warn takes it)."""
        total_n = self.num_generated + n
        if total_n > self.maxn:
            msg = (f"At most 2**{self.bits}={self.maxn} distinct points can be generated. "
                   f"{self.num_generated} points have been previously generated, then: "
                   f"n={self.num_generated}+{n}={total_n}. ")
            if self.bits != _MAX_BITS:
                msg += "Consider increasing `bits`."
            raise ValueError(msg)
        if self.num_generated == 0 and n & (n - 1) != 0:
            warnings.warn("The balance properties of Sobol' points require n to be a power of 2.",
                          stacklevel=stacklevel + 1)

    def _random(self, n=1, *, workers=1):
        if n == 0:
            return np.empty((0, self.d), order="F")
        self._check_draw(n, stacklevel=3)  # the caller of random
        return self._sequence.points(self.num_generated, n)

    def random(self, n=1, *, workers=1):
        """The next n points, an n x d array in [0, 1). `workers` is accepted and unused."""
        n = operator.index(n)
        if n < 0:
            raise ValueError(f"n must be non-negative, not {n}")
        sample = self._random(n)
        if self.optimization_method is not None:
            sample = self.optimization_method(sample)
        self.num_generated += n
        return sample

    def random_base2(self, m):
        """The next 2**m points; the points drawn so far and these must make a power of 2."""
        m = operator.index(m)
        if m < 0:
            raise ValueError(f"m must be non-negative, not {m}")
        n = 2**m
        total_n = self.num_generated + n
        if total_n & (total_n - 1) != 0:
            raise ValueError("The balance properties of Sobol' points require "
                             "n to be a power of 2. {0} points have been "
                             "previously generated, then: n={0}+2**{1}={2}. "
                             "If you still want to do this, the function "
                             "'Sobol.random()' can be used."
                             .format(self.num_generated, m, total_n))
        return self.random(n)

    def integers(self, l_bounds, u_bounds=None, n=1, endpoint=False, *, workers=1):
        """n points as integers from l_bounds to u_bounds (exclusive, or inclusive with
        endpoint); with u_bounds None, from 0 to l_bounds. Mapped as floor(sample * (u - l) + l).
        """
        if u_bounds is None:
            u_bounds = l_bounds
            l_bounds = 0
        u_bounds = np.atleast_1d(u_bounds)
        l_bounds = np.atleast_1d(l_bounds)
        if endpoint:
            u_bounds = u_bounds + 1
        if (not np.issubdtype(l_bounds.dtype, np.integer)
                or not np.issubdtype(u_bounds.dtype, np.integer)):
            raise ValueError("'u_bounds' and 'l_bounds' must be integers or"
                             " array-like of integers")
        sample = _scale(self.random(n=n), l_bounds, u_bounds)
        return np.floor(sample).astype(np.int64)

    def reset(self):
        """Back to the first point; the generator is made again from the seed."""
        self.rng = _check_random_state(copy.deepcopy(self.rng_seed))
        self.num_generated = 0
        return self

    def fast_forward(self, n):
        """Skips the next n points."""
        n = operator.index(n)
        if n < 0:
            raise ValueError(f"n must be non-negative, not {n}")
        self.num_generated += n
        return self
