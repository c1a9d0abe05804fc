#!/usr/bin/env python3
"""Side-by-side timing of two mq71asm builds on the input shapes that once grew faster than
linearly, and their peak memory on a million rows.

Each shape is generated once into a temporary directory; the two builds run in turns on their
own copy of it, so that a slow stretch of the machine weighs on both alike. Printed per shape:
the median wall time of each build and the ratio new/old.

Usage: bench/shapes.py OLD_MQ71ASM NEW_MQ71ASM [--runs=N] [SHAPE...]   (default 5 runs)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def write(directory, name, text):
    with open(os.path.join(directory, name), "w", newline="") as f:
        f.write(text)


def many_files(d):
    """10,000 top-level files of 10 rows each."""
    names = []
    for i in range(10_000):
        write(d, f"f{i}.asm", "".join(f"l{i}_{r}: movl a{r % 8}, {r}\n" for r in range(10)))
        names.append(f"f{i}.asm")
    return names


def many_calls(d):
    """1,000 top-level files that each call a macro."""
    write(d, "lib.inc", ".macro bump reg, amount\naddl reg, amount\ncmpl reg, 200\n.endmacro\n")
    names = []
    for i in range(1_000):
        lines = ['#include "lib.inc"\n'] if i == 0 else []
        lines += [f"movl a{r % 8}, {r}\n" for r in range(3)] + [f"bump a{i % 8}, 1\n"]
        write(d, f"f{i}.asm", "".join(lines))
        names.append(f"f{i}.asm")
    return names


def label_lines(d):
    """200,000 consecutive label-only lines before one statement."""
    write(d, "m.asm", "".join(f"l{i}:\n" for i in range(200_000)) + "nop\n")
    return ["m.asm"]


def define_uses(d):
    """One 6.4 MB line with 3.2 million uses of a #define symbol."""
    write(d, "m.asm", "#define A 7\n.word " + ",".join(["A"] * 3_200_000) + "\n")
    return ["m.asm"]


def parameter_uses(d):
    """A macro body line with 3.2 million uses of its parameter."""
    write(d, "lib.inc", ".macro w p\n.word " + ",".join(["p"] * 3_200_000) + "\n.endmacro\n")
    write(d, "m.asm", '#include "lib.inc"\nw 7\n')
    return ["m.asm"]


def million_rows(d):
    """1,000,000 instruction rows in one file: timed, and its peak memory printed."""
    write(d, "m.asm", "".join(f"movl a{i % 8}, {i % 200}\n" for i in range(1_000_000)))
    return ["m.asm"]


SHAPES = [many_files, many_calls, label_lines, define_uses, parameter_uses, million_rows]


def command(binary, root, sources):
    return [binary, f"-rd={root}", f"-sl={sources[0]}", *sources[1:], "-of=o.bin"]


def seconds_of(argv, cwd):
    start = time.perf_counter()
    subprocess.run(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def peak_kib(argv, cwd):
    """Maximum resident set size of one run, in KiB, as /usr/bin/time reports it."""
    result = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], cwd=cwd,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--runs=")]
    runs = next((int(a.split("=", 1)[1]) for a in sys.argv[1:] if a.startswith("--runs=")), 5)
    if len(args) < 2:
        print(__doc__)
        return 2
    binaries = [os.path.abspath(b) for b in args[:2]]
    wanted = set(args[2:])
    for shape in SHAPES:
        if wanted and shape.__name__ not in wanted:
            continue
        with tempfile.TemporaryDirectory(prefix="mq71shape") as scratch:
            source = os.path.join(scratch, "source")
            os.mkdir(source)
            sources = shape(source)
            roots = []
            for n in range(2):
                roots.append(os.path.join(scratch, f"run{n}"))
                shutil.copytree(source, roots[n])
            times = [[], []]
            for _ in range(runs):
                for n in range(2):
                    times[n].append(seconds_of(command(binaries[n], roots[n], sources), roots[n]))
            old, new = (statistics.median(t) for t in times)
            line = (f"{shape.__name__:15s} old {old * 1000:9.1f} ms  new {new * 1000:9.1f} ms"
                    f"  new/old {new / old:6.3f}")
            if shape is million_rows:
                peaks = [peak_kib(command(binaries[n], roots[n], sources), roots[n])
                         for n in range(2)]
                line += f"  peak old {peaks[0] / 1024:.0f} MiB new {peaks[1] / 1024:.0f} MiB"
            print(line, flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
