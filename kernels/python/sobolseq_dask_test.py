import pickle

import dask
import numpy as np
import pytest
from distributed import Client, LocalCluster

import sobolseq
import sobolseq.dask

MODES = [False, True, "owen"]
CHUNKS = {
    "uneven rows": ((300, 700, 24, 3072), (16,)),
    "rows and columns": ((1000, 1, 3095), (5, 11)),
    "an int": 1000,
}


def expected(d, n, scramble, seed, bits=None):
    return sobolseq.Sobol(d, scramble=scramble, seed=seed, bits=bits).random(n)


@pytest.mark.parametrize("scramble", MODES)
@pytest.mark.parametrize("chunks", CHUNKS, ids=list(CHUNKS))
def test_blocks_equal_one_engine(scramble, chunks):
    x = sobolseq.dask.random(16, 4096, chunks=CHUNKS[chunks], scramble=scramble, seed=4)
    assert x.shape == (4096, 16) and x.dtype == np.float64
    with dask.config.set(scheduler="threads"):
        np.testing.assert_array_equal(x.compute(), expected(16, 4096, scramble, 4))


@pytest.mark.parametrize("bits", [30, 64])
def test_late_blocks_of_a_long_sequence(bits):
    x = sobolseq.dask.random(3, 2**20, chunks=2**18, scramble="owen", seed=6, bits=bits)
    engine = sobolseq.Sobol(3, scramble="owen", seed=6, bits=bits).fast_forward(3 * 2**18 + 5)
    np.testing.assert_array_equal(x[3 * 2**18 + 5 : 3 * 2**18 + 70].compute(scheduler="sync"),
                                  engine.random(65))


def test_the_graph_holds_no_points():
    # 2^24 x 64 points would be 8 GiB; the graph holds the scramble and block bounds.
    x = sobolseq.dask.random(64, 2**24, chunks=2**20, seed=1)
    assert len(pickle.dumps(dict(x.__dask_graph__()))) < 64 << 10
    assert sobolseq.dask.random(64, 2**24, chunks=2**20, seed=1).name == x.name
    assert sobolseq.dask.random(64, 2**24, chunks=2**20, seed=2).name != x.name


def test_the_engines_checks():
    with pytest.raises(ValueError, match=r"At most 2\*\*4=16 distinct points"):
        sobolseq.dask.random(2, 17, chunks=4, bits=4)
    with pytest.warns(UserWarning, match="power of 2"):
        sobolseq.dask.random(2, 12, chunks=4)
    with pytest.raises(ValueError):
        sobolseq.dask.random(2, -1, chunks=4)
    assert sobolseq.dask.random(2, 0, chunks=4).compute().shape == (0, 2)


@pytest.fixture(scope="module")
def two_workers():
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster) as client:
        yield client


@pytest.mark.parametrize("scramble", MODES)
def test_on_two_worker_processes(two_workers, scramble):
    x = sobolseq.dask.random(16, 4096, chunks=CHUNKS["uneven rows"], scramble=scramble, seed=9)
    np.testing.assert_array_equal(two_workers.compute(x).result(), expected(16, 4096, scramble, 9))
