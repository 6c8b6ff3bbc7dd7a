"""sobolseq from Python against scipy, a fresh numpy array and the peer engine.

Nanoseconds per value, the best of several rounds; the cases of a shape take turns within
each round, so that other work on the machine weighs on all of them alike.

  fresh results:   sobolseq.points(d, n)                  (float64, n x d)
                   scipy Sobol(d, scramble=False, bits=53).random_base2(m)
                   numpy.ones((n, d)): what any fresh array of that size costs
  into a buffer:   sobolseq.codes(d, n, out=buf)          (uint64)
                   the peer engine filling a buffer of its own, in the order it yields codes

Run by scripts/bench after the kernel table; alone:
  /usr/bin/python3 bench/python_bench.py [--build build-release] [--rounds 9]
"""

import argparse
import os
import sys
import time

import numpy as np

SHAPES = [(20, 16), (19, 256)]  # (m, d): n = 2^m points


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..",
                                                        "build-release"))
    parser.add_argument("--rounds", type=int, default=9)
    args = parser.parse_args()
    sys.path[:0] = [os.path.join(args.build, "python"), os.path.join(args.build, "bench")]
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
        cases = {
            "points": lambda: sobolseq.points(d, n),
            "scipy": lambda: qmc.Sobol(d, scramble=False, bits=53).random_base2(m),
            "ones": lambda: np.ones((n, d), order="F"),
            "codes": lambda: sobolseq.codes(d, n, out=codes_buffer),
            "peer": lambda: peerbench.fill(peer_buffer, d),
        }
        best = dict.fromkeys(cases, float("inf"))
        for round_ in range(args.rounds + 1):
            for name, case in cases.items():
                start = time.perf_counter()
                result = case()
                seconds = time.perf_counter() - start
                del result  # a fresh result goes back before the next case
                if round_ > 0:  # the first round only warms up
                    best[name] = min(best[name], seconds * 1e9 / (n * d))
        print(f"| 2^{m} x {d} | {best['points']:.2f} | {best['scipy']:.2f} | {best['ones']:.2f} | "
              f"{best['scipy'] / best['points']:.2f} | {best['points'] / best['ones']:.2f} | "
              f"{best['codes']:.2f} | {best['peer']:.2f} | {best['peer'] / best['codes']:.2f} |",
              flush=True)


if __name__ == "__main__":
    main()
