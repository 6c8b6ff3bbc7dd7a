"""sobolseq from Python against scipy, a fresh numpy array and the peer engine.

Nanoseconds per value, the best of several rounds; the cases of a shape take turns within
each round, so that other work on the machine weighs on all of them alike.

  fresh results:   sobolseq.points(d, n)                  (float64, n x d)
                   scipy Sobol(d, scramble=False, bits=53).random_base2(m)
                   numpy.ones((n, d)): what any fresh array of that size costs
  into a buffer:   sobolseq.codes(d, n, out=buf)          (uint64)
                   the peer engine filling a buffer of its own, in the order it yields codes

Then the engine at 2^20 x 16, fresh results: Sobol(16, seed=s).random_base2(20) scrambled,
scipy's Sobol(16, seed=s).random_base2(20) scrambled, ours unscrambled and Owen-scrambled, and
numpy.ones. With --keep-freed-memory the allocator keeps what is freed (as a long-running process
does), so that fresh arrays come without the system's page clearing, for every case alike.

Last, examples/qmc_integrate.py at 2^26 x 16 in points per second, on a LocalCluster of two
worker processes and in this one process (the synchronous scheduler).

Run by scripts/bench after the kernel table; alone:
  /usr/bin/python3 bench/python_bench.py [--build build-release] [--rounds 9]
      [--tables points,engine,cluster] [--keep-freed-memory]
"""

import argparse
import ctypes
import os
import sys
import time

import numpy as np

SHAPES = [(20, 16), (19, 256)]  # (m, d): n = 2^m points
ENGINE_SHAPE = (20, 16)
CLUSTER_LOG2_POINTS = 26
EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")


def best_of(cases, rounds, values):
    """Best nanoseconds per value of each case; the cases take turns in every round."""
    best = dict.fromkeys(cases, float("inf"))
    for round_ in range(rounds + 1):
        for name, case in cases.items():
            start = time.perf_counter()
            result = case()
            seconds = time.perf_counter() - start
            del result  # a fresh result goes back before the next case
            if round_ > 0:  # the first round only warms up
                best[name] = min(best[name], seconds * 1e9 / values)
    return best


def keep_freed_memory():
    # glibc: no mmap for large blocks and no trimming, so freed memory is reused as it is.
    libc = ctypes.CDLL("libc.so.6")
    M_TRIM_THRESHOLD, M_MMAP_MAX = -1, -4
    libc.mallopt(M_MMAP_MAX, 0)
    libc.mallopt(M_TRIM_THRESHOLD, 2**31 - 1)


def points_table(rounds):
    import peerbench
    import sobolseq
    from scipy.stats import qmc

    print("| n x d | points | scipy | numpy.ones | scipy / points | points / ones | "
          "codes into buf | peer into buf | peer / codes |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
    for m, d in SHAPES:
        n = 2**m
        codes_buffer = np.empty((n, d), dtype=np.uint64, order="F")
        peer_buffer = np.empty(n * d, dtype=np.uint64)
        best = best_of({
            "points": lambda: sobolseq.points(d, n),
            "scipy": lambda: qmc.Sobol(d, scramble=False, bits=53).random_base2(m),
            "ones": lambda: np.ones((n, d), order="F"),
            "codes": lambda: sobolseq.codes(d, n, out=codes_buffer),
            "peer": lambda: peerbench.fill(peer_buffer, d),
        }, rounds, n * d)
        print(f"| 2^{m} x {d} | {best['points']:.2f} | {best['scipy']:.2f} | {best['ones']:.2f} | "
              f"{best['scipy'] / best['points']:.2f} | {best['points'] / best['ones']:.2f} | "
              f"{best['codes']:.2f} | {best['peer']:.2f} | {best['peer'] / best['codes']:.2f} |",
              flush=True)


def engine_table(rounds):
    import sobolseq
    from scipy.stats import qmc

    m, d = ENGINE_SHAPE
    best = best_of({
        "scrambled": lambda: sobolseq.Sobol(d, seed=1).random_base2(m),
        "scipy": lambda: qmc.Sobol(d, seed=1).random_base2(m),
        "plain": lambda: sobolseq.Sobol(d, scramble=False).random_base2(m),
        "owen": lambda: sobolseq.Sobol(d, scramble="owen", seed=1).random_base2(m),
        "ones": lambda: np.ones((2**m, d), order="F"),
    }, rounds, 2**m * d)
    print("| n x d | scrambled | scipy scrambled | scipy / scrambled | unscrambled | Owen | "
          "Owen / unscrambled | numpy.ones |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    print(f"| 2^{m} x {d} | {best['scrambled']:.2f} | {best['scipy']:.2f} | "
          f"{best['scipy'] / best['scrambled']:.2f} | {best['plain']:.2f} | {best['owen']:.2f} | "
          f"{best['owen'] / best['plain']:.2f} | {best['ones']:.2f} |", flush=True)


def cluster_table(rounds):
    import dask
    from distributed import Client, LocalCluster

    sys.path.insert(0, EXAMPLES)  # the workers import the example's integrand from there
    import qmc_integrate as example

    points = 2**CLUSTER_LOG2_POINTS

    def rate():
        return max(points / example.integrate(CLUSTER_LOG2_POINTS)[1] for _ in range(rounds))

    with dask.config.set(scheduler="synchronous"):
        one_process = rate()
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=None) as cluster, Client(cluster):
        two_workers = rate()
    print("| points x d | one process (points/s) | 2-worker LocalCluster (points/s) | ratio |")
    print("|---|---:|---:|---:|")
    print(f"| 2^{CLUSTER_LOG2_POINTS} x 16 | {one_process:.3e} | {two_workers:.3e} | "
          f"{two_workers / one_process:.2f} |", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..",
                                                        "build-release"))
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--tables", default="points,engine,cluster")
    parser.add_argument("--keep-freed-memory", action="store_true")
    args = parser.parse_args()
    if args.keep_freed_memory:
        keep_freed_memory()
    sys.path[:0] = [os.path.join(args.build, "python"), os.path.join(args.build, "bench")]
    tables = {"points": points_table, "engine": engine_table, "cluster": cluster_table}
    for i, name in enumerate(args.tables.split(",")):
        if i:
            print()
        # A cluster run takes seconds per round: three rounds are enough.
        tables[name](min(args.rounds, 3) if name == "cluster" else args.rounds)


if __name__ == "__main__":
    main()
