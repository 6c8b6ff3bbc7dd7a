import functools
import os
import pickle
import re

import numpy as np
import pytest
from scipy.stats import qmc

import sobolseq


@functools.lru_cache(maxsize=None)
def scipy_points(d, m):
    return qmc.Sobol(d, scramble=False, bits=53).random_base2(m)


@pytest.mark.parametrize("d", [1, 2, 16, 1111])
def test_gray_points_equal_scipy(d):
    reference = scipy_points(d, 12)  # every smaller power of two is its head
    for m in range(13):
        got = sobolseq.points(d, 2**m)
        assert got.shape == (2**m, d) and got.dtype == np.float64
        assert got.flags.f_contiguous
        np.testing.assert_array_equal(got, reference[: 2**m], err_msg=f"m = {m}")


@pytest.mark.parametrize("d, n", [(2, 1024), (16, 4096)])
def test_natural_order_is_the_same_point_set(d, n):
    gray, natural = sobolseq.points(d, n), sobolseq.points(d, n, order="natural")
    assert not np.array_equal(gray, natural)
    np.testing.assert_array_equal(np.unique(gray, axis=0), np.unique(natural, axis=0))


@pytest.mark.parametrize("order", ["gray", "natural"])
@pytest.mark.parametrize("skip, leap", [(0, 0), (5, 0), (0, 2), (777, 6)])
def test_runs_across_blocks_are_rows_of_one_long_run(monkeypatch, order, skip, leap):
    # Small blocks, so that a short run crosses several of them.
    monkeypatch.setattr(sobolseq, "_BLOCK_ROWS", 1000)
    d, n = 3, 2500
    whole = sobolseq.codes(d, skip + n * (leap + 1), order=order)
    expected = whole[skip :: leap + 1][:n]
    np.testing.assert_array_equal(sobolseq.codes(d, n, order, skip, leap), expected)
    points = sobolseq.points(d, n, order, skip, leap)
    # Exact: every code is below 2^53.
    np.testing.assert_array_equal(points, expected.astype(np.float64) * 2.0**-53)


def test_out_is_written_and_returned():
    d, n = 5, 3000
    fresh = sobolseq.points(d, n, skip=9)
    buffer = np.full((n, d), np.nan, order="F")
    for _ in range(2):
        assert sobolseq.points(d, n, skip=9, out=buffer) is buffer
        np.testing.assert_array_equal(buffer, fresh)
    words = np.zeros((n, d), dtype=np.uint64, order="F")
    assert sobolseq.codes(d, n, skip=9, out=words) is words
    np.testing.assert_array_equal(words.astype(np.float64) * 2.0**-53, fresh)
    empty = np.empty((0, d), order="F")
    assert sobolseq.points(d, 0, out=empty) is empty


def test_results_keep_the_kernels_memory():
    codes = sobolseq.codes(4, 100)
    # A view of the host's output, not a copy of it.
    assert not codes.flags.owndata and codes.flags.f_contiguous and codes.flags.writeable
    (same,) = sobolseq.call("Ulvane", sobolseq.direction_numbers(4), 100, True)
    np.testing.assert_array_equal(same, codes)


def test_direction_numbers():
    v = sobolseq.direction_numbers(3)
    assert v.shape == (3, 53) and v.dtype == np.uint64 and v.flags.f_contiguous
    # Dimension 1 has every initial value 1: v_i = 2^(52 - i).
    np.testing.assert_array_equal(v[0], [1 << (52 - i) for i in range(53)])
    np.testing.assert_array_equal(sobolseq.direction_numbers(1111)[:3], v)
    assert sobolseq.direction_numbers(0).shape == (0, 53)


def test_call_takes_numbers_bools_and_lists():
    # Gormik with polynomial code 7 and initial values 1, 3 (a cell array as a list).
    (v,) = sobolseq.call("Gormik", [np.array([1.0, 3.0])], 7)
    assert v.shape == (53, 1)
    assert list(v[:4, 0]) == [1 << 52, 3 << 51, 3 << 50, 9 << 49]
    # A C-ordered input is taken column-major all the same.
    a = np.arange(6, dtype=np.uint64).reshape(2, 3)
    (x,) = sobolseq.call("Pirrok", a, np.array([1, 0, 0], dtype=np.uint64))
    np.testing.assert_array_equal(x, a ^ np.array([1, 0, 0], dtype=np.uint64))
    (point,) = sobolseq.call("Tavrel", sobolseq.direction_numbers(2), np.float64(2), np.bool_(True))
    np.testing.assert_array_equal(point, sobolseq.codes(2, 3)[2:3])
    first, second = sobolseq.call("Zendal", np.array([2, 1], dtype=np.uint64), nlhs=2)
    np.testing.assert_array_equal(first, [[1.0, 0.0], [0.0, 1.0]])
    assert second is None


RAISES = [
    ("Ulvane", lambda v: (v, 4.0), "NumInputsUlvane"),
    ("Ulvane", lambda v: (v.astype(np.float64), 4.0, True), "InvalidDirectionNumbers"),
    ("Ulvane", lambda v: (v, 4.0, 1.0), "InvalidGrayCodeFlag"),
    ("Hestra", lambda v: (v, 1, 0, 4, True, np.zeros(1, np.uint64)), "InvalidLastX"),
    ("Fjorum", lambda v: (v[:, :52], np.arange(4.0), True), "InvalidDirectionNumbers"),
    ("Gormik", lambda v: ([np.ones(1), None], np.ones(2)), "InvalidInitialMValues"),
    ("Gormik", lambda v: ([np.ones(1)], np.ones(2)), "InputSizesGormik"),
    ("Pirrok", lambda v: (v, np.zeros(2, np.uint64)), "InputSizesPirrok"),
    ("Wenlix", lambda v: (np.ones(3),), "InputClassWenlix"),
    ("Wenlix", lambda v: (), "NumInputsWenlix"),
]


@pytest.mark.parametrize("kernel, inputs, name", RAISES, ids=[r[2] for r in RAISES])
def test_kernel_errors_carry_their_identifiers(kernel, inputs, name):
    with pytest.raises(sobolseq.KernelError) as raised:
        sobolseq.call(kernel, *inputs(sobolseq.direction_numbers(3)))
    error = raised.value
    assert error.identifier == "stats::sobolseq::" + name
    # The message gives the catalog's text beside the identifier.
    identifier, text = str(error).split(": ", 1)
    assert identifier == error.identifier and text.endswith(".") and len(text) > 20
    assert pickle.loads(pickle.dumps(error)).identifier == error.identifier


def test_kernel_error_text():
    with pytest.raises(sobolseq.KernelError) as raised:
        sobolseq.call("Ulvane", sobolseq.direction_numbers(2), 4.0)
    assert str(raised.value) == ("stats::sobolseq::NumInputsUlvane: Ulvane takes 3 inputs: the "
                                 "direction numbers, the count and the Gray-code flag.")


def self_holding_list():
    cell = []
    cell.append(cell)
    return cell


BAD_ARGUMENTS = [
    (TypeError, lambda: sobolseq.call(3)),
    (ValueError, lambda: sobolseq.call("Nothing")),
    (TypeError, lambda: sobolseq.call("Ulvane", np.zeros((3, 53), dtype=np.int64), 4.0, True)),
    (TypeError, lambda: sobolseq.call("Ulvane", {"V": 1})),
    (ValueError, lambda: sobolseq.call("Gormik", self_holding_list(), 1.0)),
    (ValueError, lambda: sobolseq.call("Ulvane", nlhs=-1)),
    (ValueError, lambda: sobolseq.call("Ulvane", 10**400)),
    (TypeError, lambda: sobolseq.points(1.5, 4)),
    (ValueError, lambda: sobolseq.points(1112, 4)),
    (ValueError, lambda: sobolseq.points(2, -1)),
    (ValueError, lambda: sobolseq.points(2, 4, order="random")),
    (ValueError, lambda: sobolseq.points(2, 4, skip=2**53 - 2)),
    (ValueError, lambda: sobolseq.points(2, 4, leap=-1)),
    (TypeError, lambda: sobolseq.points(2, 4, out=[0.0] * 8)),
    (TypeError, lambda: sobolseq.points(2, 4, out=np.empty((4, 2), dtype=np.uint64, order="F"))),
    (TypeError, lambda: sobolseq.codes(2, 4, out=np.empty((4, 2), order="F"))),
    (ValueError, lambda: sobolseq.points(2, 4, out=np.empty((2, 4), order="F"))),
    (ValueError, lambda: sobolseq.points(2, 4, out=np.empty((4, 2)))),  # C order
    (ValueError, lambda: sobolseq.points(2, 4, out=np.empty((4, 2), order="F")[::-1])),
    (ValueError, lambda: sobolseq.direction_numbers(-1)),
]


@pytest.mark.parametrize("error, bad", BAD_ARGUMENTS)
def test_bad_arguments(error, bad):
    with pytest.raises(error):
        bad()


# An out= of another shape is refused, with the shape it must have, and left as it was; a
# long run (in blocks) too.
@pytest.mark.parametrize("make, dtype, n, shape", [
    (sobolseq.points, np.float64, 4, (4, 3)),
    (sobolseq.points, np.float64, 4, (4, 1)),
    (sobolseq.points, np.float64, 4, (5, 2)),
    (sobolseq.codes, np.uint64, 4, (4, 3)),
    (sobolseq.points, np.float64, 2**17, (2**17, 1)),
])
def test_out_of_another_shape_is_refused(make, dtype, n, shape):
    out = np.full(shape, 7, dtype=dtype, order="F")
    with pytest.raises(ValueError, match=re.escape(f"out must have shape {(n, 2)}, not {shape}")):
        make(2, n, out=out)
    assert (out == 7).all()


def resident_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def test_no_leak_over_many_calls():
    out = np.empty((300, 8), order="F")

    def calls():
        sobolseq.points(8, 300, skip=3)  # Hestra, then Wenlix in place: 19 KiB
        sobolseq.points(8, 300, out=out)
        sobolseq.codes(8, 300)
        with pytest.raises(sobolseq.KernelError):
            sobolseq.call("Gormik", [np.ones(1)] * 20 + [None], np.ones(21))  # 8 KiB made, freed

    for _ in range(500):
        calls()
    before = resident_bytes()
    for _ in range(10_000):
        calls()
    # A leak of any one output would be 80 MiB and more.
    assert resident_bytes() - before < 8 << 20
