#!/usr/bin/env python3
"""Whole-process timing of mq71asm on generated programs of growing size.

Each program has labels, forward and backward jumps, address loads, data tables, #define
symbols and a fixed number of macro calls from a library include. The script prints, per size,
the median wall time of several runs, next to the start-up time of a trivial process
(`true`) run in turns with it.

Given a second build, the two run in turns and the ratio of their medians is printed too: the
way to show that a change keeps the speed.

Usage: bench/benchmark.py [path/to/mq71asm [path/to/other/mq71asm]] [--runs=N]
       (default 21 runs per size)
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

SIZES = [1_000, 10_000, 100_000]
MACRO_CALLS = 10
DEFINES = 100


def macro_library():
    return (
        ".macro bump reg, amount\n"
        "addl reg, amount\n"
        "cmpl reg, 200\n"
        ".endmacro\n"
        ".macro spin reg\n"
        "again: subl reg, 1\n"
        "jnz again\n"
        ".endmacro\n"
    )


def program(rows):
    """About `rows` source statements in the main file."""
    lines = [f"#define LIMIT{d} {d % 200}" for d in range(DEFINES)]
    lines.append('#include <macros.inc>')
    registers = [f"{bank}{n}" for bank in "abcd" for n in range(8)]
    # Macro calls first, so that the labels they declare get addresses below 1024.
    for call in range(MACRO_CALLS):
        lines.append(f"    bump a{call % 8}, 1" if call % 2 == 0 else f"    spin b{call % 8}")
    lines.append("fault: rst")
    statement = 2 * MACRO_CALLS + 1
    block = 0
    while statement < rows:
        reg = registers[block % 32]
        lines.append(f"block{block}:")
        lines.append(f"    movl {reg}, LIMIT{block % DEFINES}")
        lines.append(f"    addl {reg}, 3 ; step")
        lines.append(f"    cmp {reg}, {registers[(block + 1) % 32]}")
        lines.append(f"    jnz block{block % 100}")
        # Word addresses are 10 bits wide: every target stays within the first 1024 words.
        lines.append(f"    lrah a0, block{block % 100}")
        lines.append(f"    lral a1, block{(block + 7) % 100}")
        lines.append(f"    jmp block{(block + 1) % 100}")
        statement += 7
        block += 1
    for t in range(50):
        lines.append(f"table{t}: .byte {t}, {t + 1}, {t + 2}")
    return "\n".join(lines) + "\n"


def seconds_of(command, cwd):
    start = time.perf_counter()
    subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True)
    return time.perf_counter() - start


def paired_medians(commands, cwd, runs):
    """Median times of each command and of a trivial process, run in turns so that a slow
    stretch of the machine weighs on all alike. One run first, unmeasured, creates the files."""
    for command in commands:
        seconds_of(command, cwd)
    programs, trivial = [[] for _ in commands], []
    for _ in range(runs):
        trivial.append(seconds_of(["true"], cwd))
        for n, command in enumerate(commands):
            programs[n].append(seconds_of(command, cwd))
    return [statistics.median(p) for p in programs], statistics.median(trivial)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--runs")]
    runs = 21
    for a in sys.argv[1:]:
        if a.startswith("--runs="):
            runs = int(a.split("=", 1)[1])
    binaries = [os.path.abspath(b) for b in (args[:2] if args else ["build/mq71asm"])]
    previous = None
    for rows in SIZES:
        with tempfile.TemporaryDirectory(prefix="mq71bench") as root:
            os.mkdir(os.path.join(root, "lib"))
            with open(os.path.join(root, "lib", "macros.inc"), "w") as f:
                f.write(macro_library())
            with open(os.path.join(root, "main.asm"), "w") as f:
                f.write(program(rows))
            commands = [[binary, f"-rd={root}", "-sl=main.asm", f"-ip={root}/lib", "-of=out.bin",
                         "-cs=sum", "-mh=fault", "-is=4096"] for binary in binaries]
            medians, trivial = paired_medians(commands, root, runs)
            seconds = medians[-1]
            ratio = f"  x{seconds / previous:5.2f} vs previous size" if previous else ""
            other = (f"  (first build {medians[0] * 1000:8.2f} ms, ratio {seconds / medians[0]:5.3f})"
                     if len(medians) > 1 else "")
            print(f"{rows:7d} rows: {seconds * 1000:8.2f} ms  (trivial process {trivial * 1000:5.2f} ms,"
                  f" x{seconds / trivial:6.2f}){ratio}{other}", flush=True)
            previous = seconds
    return 0


if __name__ == "__main__":
    sys.exit(main())
