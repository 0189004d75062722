#!/usr/bin/env python3
"""Times a headless command of two tavik programs as whole processes, side by side.

usage: process_timing.py [--runs N] [--warm-up N] BEFORE AFTER [--] [ARGUMENTS...]

Each run starts the program afresh (fork, exec, dynamic linking, the workbook's reader and
the command itself) and waits for it to end; its standard output goes to /dev/null. The two
programs take turns, so that whatever else the machine does weighs on both alike. Prints the
median wall time of each and their ratio; a run that fails ends the script with its status.
The arguments default to planning the first example as JSON.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_ARGUMENTS = ["plan", os.path.join(SOURCE, "examples", "wheat-deep-loam.json"),
                     "--format", "json"]


def run_once(program, arguments):
    started = time.perf_counter()
    result = subprocess.run([program] + arguments, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, check=False)
    elapsed = time.perf_counter() - started
    if result.returncode != 0:
        sys.stderr.write(f"{program} ended with status {result.returncode}: "
                         f"{result.stderr.decode(errors='replace')}")
        sys.exit(result.returncode or 1)
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("before", help="the program measured against")
    parser.add_argument("after", help="the program measured")
    parser.add_argument("--runs", type=int, default=101, help="runs of each (101)")
    parser.add_argument("--warm-up", type=int, default=5, help="untimed runs of each first (5)")
    parser.add_argument("arguments", nargs=argparse.REMAINDER,
                        help="the command, after the two programs (and an optional --)")
    options = parser.parse_args()
    arguments = options.arguments[1:] if options.arguments[:1] == ["--"] else options.arguments
    arguments = arguments or DEFAULT_ARGUMENTS

    for _ in range(options.warm_up):
        run_once(options.before, arguments)
        run_once(options.after, arguments)
    before, after = [], []
    for _ in range(options.runs):
        before.append(run_once(options.before, arguments))
        after.append(run_once(options.after, arguments))

    median_before = statistics.median(before) * 1000
    median_after = statistics.median(after) * 1000
    print(f"command: tavik {' '.join(arguments)}")
    print(f"runs:    {options.runs} of each, alternating")
    print(f"before:  {median_before:.2f} ms median  ({options.before})")
    print(f"after:   {median_after:.2f} ms median  ({options.after})")
    print(f"ratio:   {median_before / median_after:.2f}x faster")


if __name__ == "__main__":
    main()
