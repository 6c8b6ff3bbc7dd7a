import copy
import functools
import io
import pydoc
import subprocess
import sys
import warnings

import numpy as np
import pytest
from scipy.stats import qmc

import sobolseq
from sobolseq._sequence import draw


def scipy_can_fast_forward(engine, n):
    # scipy 1.10 fails above 32 bits and for a zero step from the first point.
    return engine.bits <= 32 and not (n == 0 and engine.num_generated == 0)


def run(engine, steps):
    """The arrays a call sequence draws; a skip scipy cannot make is drawn and dropped."""
    out = []
    for step, arg in steps:
        if step == "fast_forward" and isinstance(engine, qmc.Sobol) and not scipy_can_fast_forward(
                engine, arg):
            if arg:
                engine.random(arg)
            continue
        result = getattr(engine, step)(*(() if arg is None else (arg,)))
        if isinstance(result, np.ndarray):
            out.append(result)
    return out


CALLS = {
    "base2 then more": [("random_base2", 3), ("random_base2", 3), ("random", 16), ("random", 5)],
    "skip and continue": [("fast_forward", 7), ("random", 9), ("fast_forward", 0), ("random", 1)],
    "reset": [("random", 1), ("random", 1), ("reset", None), ("random_base2", 2),
              ("fast_forward", 1000), ("random", 3)],
    "zero step first": [("fast_forward", 0), ("random_base2", 0), ("random", 0), ("random", 7)],
}


@functools.lru_cache(maxsize=None)
def engines(d, bits, seed):
    """One scipy and one sobolseq engine, made once: each call sequence starts with reset()."""
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return qmc.Sobol(d, bits=bits, seed=seed), sobolseq.Sobol(d, bits=bits, seed=seed)


@pytest.mark.parametrize("seed", [0, 1, 12345])
@pytest.mark.parametrize("d", [1, 5, 1111])
@pytest.mark.parametrize("bits", [30, 53, 64])
@pytest.mark.parametrize("calls", CALLS, ids=list(CALLS))
def test_scrambled_equals_scipy(seed, d, bits, calls):
    reference, engine = engines(d, bits, seed)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        expected = run(reference.reset(), CALLS[calls])
        got = run(engine.reset(), CALLS[calls])
    assert len(got) == len(expected)
    for i, (a, b) in enumerate(zip(got, expected)):
        np.testing.assert_array_equal(a, b, err_msg=f"draw {i}")
    assert engine.num_generated == reference.num_generated


@pytest.mark.parametrize("d", [1, 2, 16, 1111])
@pytest.mark.parametrize("bits", [None, 53, 64])
def test_unscrambled_equals_scipy(d, bits):
    expected = qmc.Sobol(d, scramble=False, bits=bits).random_base2(10)
    engine = sobolseq.Sobol(d, scramble=False, bits=bits)
    np.testing.assert_array_equal(engine.random_base2(9), expected[:512])
    np.testing.assert_array_equal(engine.random_base2(9), expected[512:])


@pytest.mark.parametrize("seed", [np.random.default_rng(3), np.random.RandomState(3)],
                         ids=["Generator", "RandomState"])
def test_seeded_by_a_generator_as_scipy(seed):
    expected = qmc.Sobol(6, seed=copy.deepcopy(seed)).random_base2(5)
    np.testing.assert_array_equal(sobolseq.Sobol(6, seed=seed).random_base2(5), expected)


def points_from_peer_matrices(reference, first, n):
    """Points first.. of scipy's own scrambled direction numbers and shift, by definition."""
    rows = []
    for i in range(first, first + n):
        code = reference._shift.copy()
        word = i ^ (i >> 1)
        for c in range(reference.bits):
            if word >> c & 1:
                code ^= reference._sv[:, c]
        rows.append(code.astype(np.float64) * 2.0**-reference.bits)
    return np.array(rows)


# Plain runs from 2^53 and 2^63 on reach the words past the kernels' 53 where a coordinate still
# shows every digit of them.
@pytest.mark.parametrize("scramble, bits, first", [
    (True, 64, 2**40 + 3), (True, 64, 2**64 - 5), (True, 53, 2**52 + 511), (True, 33, 2**32 - 2),
    (False, 64, 2**53 - 2), (False, 64, 2**57 - 2), (False, 64, 2**63 - 2)])
def test_fast_forward_where_scipy_cannot(scramble, bits, first):
    reference = qmc.Sobol(3, scramble=scramble, bits=bits, seed=9)
    engine = sobolseq.Sobol(3, scramble=scramble, bits=bits, seed=9).fast_forward(first)
    n = min(5, 2**bits - first)
    np.testing.assert_array_equal(engine.random(n), points_from_peer_matrices(reference, first, n))
    assert engine.num_generated == first + n


INTEGERS = [
    ((10,), {}),
    ((-5, 7), {"n": 33}),
    (([0, 1, 2, 3], [2, 4, 8, 16]), {"n": 8, "endpoint": True}),
    ((np.int32(4),), {"u_bounds": np.int64(9), "n": 5}),
]


@pytest.mark.filterwarnings("ignore:The balance properties")
@pytest.mark.parametrize("args, kwargs", INTEGERS)
def test_integers_as_scipy(args, kwargs):
    kwargs = dict(kwargs)
    if len(args) == 2:  # scipy takes the upper bounds by keyword only
        kwargs["u_bounds"] = args[1]
        args = args[:1]
    expected = qmc.Sobol(4, seed=5).integers(*args, **kwargs)
    got = sobolseq.Sobol(4, seed=5).integers(*args, **kwargs)
    assert got.dtype == expected.dtype == np.int64
    np.testing.assert_array_equal(got, expected)


def draws(engine, *counts):
    return [engine.random(n) for n in counts]


# Calls that must fail (or warn) alike on both engines: (callable of the class, error, match).
FAILURES = [
    (lambda S: S(-1), ValueError, "d must be a non-negative integer value"),
    (lambda S: S(2.5), ValueError, "d must be a non-negative integer value"),
    (lambda S: S(2, bits=65), ValueError, "Maximum supported 'bits' is 64"),
    (lambda S: S(2, seed="x"), ValueError, "cannot be used to seed"),
    (lambda S: S(2, bits=4).random(17), ValueError, r"At most 2\*\*4=16 distinct points"),
    (lambda S: S(2, bits=4).random_base2(5), ValueError, r"At most 2\*\*4=16 distinct points"),
    (lambda S: draws(S(2, bits=3), 8, 1), ValueError,
     r"8 points have been previously generated, then: n=8\+1=9\. Consider increasing `bits`\.$"),
    (lambda S: S(2).fast_forward(3).random_base2(2), ValueError,
     "3 points have been previously generated, then: n=3\\+2\\*\\*2=7"),
    (lambda S: S(2).integers(1.5, n=2), ValueError, "must be integers"),
    (lambda S: S(2).integers([1, 5], u_bounds=[4, 5]), ValueError, "Bounds are not consistent"),
    (lambda S: S(2).integers([1, 2, 3], u_bounds=[4, 5, 6]), ValueError, "must be broadcastable"),
]


@pytest.mark.parametrize("call, error, match", FAILURES)
@pytest.mark.parametrize("engine_class", [qmc.Sobol, sobolseq.Sobol], ids=["scipy", "ours"])
def test_failures_as_scipy(engine_class, call, error, match):
    with pytest.raises(error, match=match):
        call(engine_class)


@pytest.mark.parametrize("engine_class", [qmc.Sobol, sobolseq.Sobol], ids=["scipy", "ours"])
def test_warns_on_a_first_draw_that_is_not_a_power_of_two(engine_class):
    with pytest.warns(UserWarning, match="require n to be a power of 2") as record:
        engine_class(2).random(3)
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        engine = engine_class(2)
        engine.random(4)
        engine.random(3)  # only a first draw warns
    if engine_class is sobolseq.Sobol:
        assert record[0].filename == __file__  # the caller's line


@pytest.mark.parametrize("bad, match", [
    (lambda: sobolseq.Sobol(1112), "Maximum supported dimensionality is 1111."),
    (lambda: sobolseq.Sobol(2, bits=0), "'bits' must be from 1 to 64"),
    (lambda: sobolseq.Sobol(2, scramble="lms"), "scramble must be True, False or 'owen'"),
    (lambda: sobolseq.Sobol(2).random(-1), "n must be non-negative"),
    (lambda: sobolseq.Sobol(2).random_base2(-1), "m must be non-negative"),
    (lambda: sobolseq.Sobol(2).fast_forward(-1), "n must be non-negative"),
    # Past the last point of 64 bits: no more bits to ask for.
    (lambda: sobolseq.Sobol(2, bits=64).fast_forward(2**64 - 1).random(2),
     r"n=18446744073709551615\+2=18446744073709551617\. $"),
])
def test_values_outside_the_table_or_the_sequence(bad, match):
    with pytest.raises(ValueError, match=match):
        bad()


def test_a_scipy_engine_for_scipy():
    engine = sobolseq.Sobol(3, seed=4)
    assert isinstance(engine, qmc.QMCEngine) and sobolseq.Sobol.MAXDIM == 1111
    sample = engine.random_base2(6)
    np.testing.assert_array_equal(qmc.scale(sample, [0, 0, 0], [2, 4, 8]),
                                  qmc.scale(qmc.Sobol(3, seed=4).random_base2(6), [0] * 3, [2, 4, 8]))
    assert qmc.discrepancy(sample) == qmc.discrepancy(qmc.Sobol(3, seed=4).random_base2(6))
    optimized = sobolseq.Sobol(2, seed=1, optimization="random-cd").random_base2(4)
    np.testing.assert_array_equal(optimized,
                                  qmc.Sobol(2, seed=1, optimization="random-cd").random_base2(4))


def test_scipys_integration_spawns_our_engines():
    from scipy.integrate import _quadrature
    quad = getattr(_quadrature, "_qmc_quad", None) or getattr(_quadrature, "qmc_quad", None)
    if quad is None:
        pytest.skip("this scipy has no qmc_quad")

    def func(x):
        return np.prod(x, axis=0)

    ours = quad(func, [0, 0], [1, 2], n_points=256, qrng=sobolseq.Sobol(2, seed=8))
    expected = quad(func, [0, 0], [1, 2], n_points=256, qrng=qmc.Sobol(2, seed=8))
    assert (ours.integral, ours.standard_error) == (expected.integral, expected.standard_error)


def test_works_without_scipy():
    script = """
import sys
sys.modules["scipy"] = None  # as if it were not installed
import numpy as np
import sobolseq
engine = sobolseq.Sobol(3, seed=12)
assert type(engine).__mro__[1] is object
sample = engine.random_base2(4)
np.save(sys.stdout.buffer, np.vstack([sample, engine.integers([0, 1, 2], [5, 6, 7], n=4)]))
try:
    sobolseq.Sobol(2, optimization="lloyd")
except ImportError:
    pass
else:
    raise SystemExit("optimization without scipy")
"""
    out = subprocess.run([sys.executable, "-c", script], capture_output=True, check=True).stdout
    got = np.load(io.BytesIO(out))
    engine = qmc.Sobol(3, seed=12)
    expected = np.vstack([engine.random_base2(4), engine.integers([0, 1, 2], u_bounds=[5, 6, 7], n=4)])
    np.testing.assert_array_equal(got, expected)


def test_help_shows_plain_signatures():
    text = pydoc.render_doc(sobolseq, renderer=pydoc.plaintext)
    assert "class Sobol(scipy.stats._qmc.QMCEngine)" in text
    assert "Sobol(d, *, scramble=True, bits=None, seed=None, optimization=None)" in text
    assert "class KernelError(builtins.Exception)" in text and "sobolseq._sobolseq" not in text
    assert "PyCapsule" not in text and "pybind11" not in text


# Nested (Owen) scrambling.


def owen(d, n, seed, first=0):
    return draw(d, 64, "owen", np.random.default_rng(seed)).points(first, n)


def test_owen_points_are_in_the_unit_interval():
    engine = sobolseq.Sobol(8, scramble="owen", bits=64, seed=2)
    for first in (0, 2**63, 2**64 - 2**12):
        x = engine.fast_forward(first - engine.num_generated).random(2**12)
        assert x.min() >= 0.0 and x.max() < 1.0


@pytest.mark.parametrize("seed", [0, 1, 7])
def test_owen_keeps_the_net(seed):
    x = owen(2, 2**12, seed)
    for m in range(13):
        for a in range(m + 1):
            # Intervals of 2^-a by 2^-(m - a): each of the 2^m holds exactly one point.
            cells = np.floor(x[: 2**m, 0] * 2**a) * 2 ** (m - a) + np.floor(x[: 2**m, 1] * 2 ** (m - a))
            assert np.array_equal(np.sort(cells), np.arange(2**m)), (m, a)


def test_owen_points_are_uniform_over_seeds():
    runs = np.stack([owen(4, 256, seed) for seed in range(64)])  # 64 x 256 x 4
    # Each coordinate of each point averages 0.5 within its standard error (a bound of 4.5 of
    # them, for 1024 averages) and spreads as a uniform one does.
    error = (runs.mean(axis=0) - 0.5) / np.sqrt(1 / 12 / 64)
    assert np.abs(error).max() < 4.5
    assert 0.9 < runs.var(axis=0).mean() * 12 < 1.1


@pytest.mark.parametrize("scramble", [False, True, "owen"])
def test_a_block_alone_equals_the_same_rows_of_a_whole_run(scramble):
    sequence = draw(5, 30, scramble, np.random.default_rng(21))
    whole = sequence.points(0, 5000)
    rng = np.random.default_rng(0)
    for first, n in rng.permutation([(0, 1), (511, 2), (512, 700), (1999, 3001), (4999, 1)]):
        np.testing.assert_array_equal(sequence.points(first, n), whole[first : first + n])
    np.testing.assert_array_equal(sequence.columns(2, 4).points(100, 50), whole[100:150, 2:4])


def test_large_results_take_the_memory_of_freed_ones():
    engine = sobolseq.Sobol(16, seed=1)
    first = engine.random_base2(16)  # 8 MiB
    address = first.ctypes.data
    second = engine.random_base2(16)
    assert second.ctypes.data != address  # never memory a live result holds
    del first
    third = sobolseq.Sobol(16, scramble=False).random_base2(16)
    assert third.ctypes.data == address
    np.testing.assert_array_equal(third, qmc.Sobol(16, scramble=False).random_base2(16))
    assert third.flags.f_contiguous and third.flags.writeable and not third.flags.owndata
