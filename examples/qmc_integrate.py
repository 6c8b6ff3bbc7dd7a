"""A 16-dimensional integral from 2^30 scrambled Sobol points on a dask cluster.

The integrand is the product over the 16 coordinates of (|4 x_j - 2| + a_j) / (1 + a_j) with
a_j = j - 1, whose integral over the unit cube is exactly 1. Independent scrambles of the
sequence give independent estimates; their mean is the estimate and their spread its error bar
(randomised quasi-Monte Carlo). Each block of points is made on the worker that reduces it to
its sum, so a worker holds one block at a time.

    PYTHONPATH=build/python python3 examples/qmc_integrate.py            # 2^30 points, 2 workers
    PYTHONPATH=build/python python3 examples/qmc_integrate.py --log2-points 22 --workers 0
"""

import argparse
import time

import dask
import numpy as np

import sobolseq.dask

DIMENSIONS = 16
WEIGHTS = np.arange(DIMENSIONS, dtype=np.float64)  # a_j; larger ones matter less
TRUE_VALUE = 1.0


def block_sum(x):
    """The integrand summed over the rows of a block, a column at a time, in place."""
    product = np.ones(x.shape[0])
    term = np.empty(x.shape[0])
    for j, a in enumerate(WEIGHTS):
        c = 1.0 / (1.0 + a)  # (|4x - 2| + a) c = |4cx - 2c| + ac
        np.multiply(x[:, j], 4.0 * c, out=term)
        term -= 2.0 * c
        np.abs(term, out=term)
        term += a * c
        product *= term
    return np.array([[product.sum()]])


def estimates(log2_points, scrambles, block_rows, scramble, seed):
    """One lazy estimate per independent scramble, 2^log2_points points in all."""
    per_scramble = 2**log2_points // scrambles
    children = np.random.SeedSequence(seed).spawn(scrambles)
    result = []
    for child in children:
        x = sobolseq.dask.random(DIMENSIONS, per_scramble, chunks=(block_rows, DIMENSIONS),
                                 scramble=scramble, seed=np.random.default_rng(child))
        # A 1 x 1 sum per block: the block itself never leaves the task that makes it.
        sums = x.map_blocks(block_sum, chunks=((1,) * x.numblocks[0], (1,)), dtype=np.float64)
        result.append(sums.sum() / per_scramble)
    return result


def integrate(log2_points, scrambles=16, block_rows=2**20, scramble="owen", seed=2024):
    """Runs on the current dask scheduler; returns the estimates and the seconds taken."""
    lazy = estimates(log2_points, scrambles, block_rows, scramble, seed)
    start = time.perf_counter()
    values = np.array(dask.compute(*lazy))
    return values, time.perf_counter() - start


def report(values, seconds, points):
    estimate = values.mean()
    error_bar = values.std(ddof=1) / np.sqrt(len(values))
    print(f"points:          2^{int(np.log2(points))} = {points} in {DIMENSIONS} dimensions")
    print(f"estimate:        {estimate:.12f} (true value {TRUE_VALUE})")
    print(f"error:           {estimate - TRUE_VALUE:+.3e}")
    print(f"standard error:  {error_bar:.3e} from {len(values)} independent scrambles "
          f"(error / standard error {(estimate - TRUE_VALUE) / error_bar:+.2f})")
    print(f"time:            {seconds:.2f} s, {points / seconds:.3e} points per second")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--log2-points", type=int, default=30)
    parser.add_argument("--scrambles", type=int, default=16)
    parser.add_argument("--block-rows", type=int, default=2**20)
    parser.add_argument("--scramble", choices=["owen", "linear"], default="owen")
    parser.add_argument("--workers", type=int, default=2,
                        help="worker processes of a LocalCluster; 0 runs in this process")
    args = parser.parse_args()
    scramble = "owen" if args.scramble == "owen" else True
    run = (args.log2_points, args.scrambles, args.block_rows, scramble)
    if args.workers == 0:
        with dask.config.set(scheduler="synchronous"):
            values, seconds = integrate(*run)
    else:
        from distributed import Client, LocalCluster

        with LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                          dashboard_address=None) as cluster, Client(cluster):
            values, seconds = integrate(*run)
    report(values, seconds, 2**args.log2_points)


if __name__ == "__main__":
    main()
