#!/usr/bin/env python3
"""Writes FDC directories for the benchmark.

corpus DIR SIZE_MB: many files of mixed sizes, level-2 generated code with
states, actions, operations, transitions, guards, choice points, user
regions and an inline-chain block in every section.
big DIR N: one file with one section of N states, N transitions and N
inline chains, all distinct.
"""
import os
import random
import sys


def header(capsule, fd):
    return (f"VE 3 src/{capsule}_Actor.cpp\n"
            f"FC \"src/{capsule}_Actor.cpp\" 1\nFD {fd}\nTC 14\nDC \"2024-11-28 10:42:17\"\n"
            "OP -instrument=functions,exits\n@RIK\n@VIEW NAME=\"Coverage\"\n"
            "   (\"&Functions\"=0,\n    \"-&Exits\"=1),\n    \"Functions and exits\"=2\n@/VIEW\n"
            f"NODE TYPE=FILE NAME=\"src/{capsule}_Actor.cpp\"@@ALT@ {{{{{{QZK classifier 'Logical View::{capsule}'\n"
            f"#include \"{capsule}_Actor.h\"\n")


def function(capsule, name, branch, body, line):
    return (f"@NODE TYPE=FUNCTION NAME=\"void {capsule}_Actor::{name}()\" "
            f"LINK NAME=\"src/{capsule}_Actor.cpp,{line}\"@{name} @BRANCH MARK=TB ID={branch} SUM=0@{{\n"
            + body + "}@/BRANCH@@/NODE@\n")


USER_BODY = ("    // {{{USR\n    controller.notify(signal, priority, timestamp);\n"
             "    // }}}USR\n    updateStatistics(current, previous);\n")


def section(capsule, fd, states, chains, rng, first=0):
    out = [header(capsule, fd)]
    branch = 1
    for i in range(first, first + states):
        state = f"S{i}"
        out.append(f"// {{{{{{QZK state '{state}'\n")
        out.append(function(capsule, f"enter_{state}", branch, f"    current = {state};\n", branch * 7))
        branch += 1
        if rng.random() < 0.5:
            out.append(f"// {{{{{{QZK enter '{state}'\n")
            out.append(function(capsule, f"entry_{state}", branch, USER_BODY, branch * 7))
            branch += 1
        if rng.random() < 0.3:
            out.append(f"// {{{{{{QZK exit '{state}'\n")
            out.append(function(capsule, f"exit_{state}", branch, "    timer.stop();\n", branch * 7))
            branch += 1
        if rng.random() < 0.3:
            out.append(f"// {{{{{{QZK operation 'op{i}'\n")
            out.append(function(capsule, f"op{i}", branch, USER_BODY, branch * 7))
            branch += 1
        kind = rng.random()
        out.append(f"void {capsule}_Actor::transition{i}_t{i}()\n")
        if kind < 0.6:
            out.append(f"// {{{{{{QZK transition 't{i}'\n")
        elif kind < 0.8:
            out.append(f"// {{{{{{QZK transition 't{i}' guard 'g{i}'\n")
        else:
            out.append(f"// {{{{{{QZK choicePoint 'c{i}'\n")
        if rng.random() < 0.3:
            out.append(f"@NODE TYPE=FUNCTION NAME=\"void {capsule}_Actor::transition{i}()\"@t{i} "
                       f"@BRANCH MARK=TB ID={branch} SUM=0@{{@COMMENT@/*PXN_JUMP_NAME*=j{i};state = S{i};*/@/COMMENT@\n")
            branch += 1
        else:
            out.append(function(capsule, f"transition{i}", branch, "    return level >= limit;\n", branch * 7))
            branch += 1
    out.append(function(capsule, "rtBehavior", branch, "    switch (current) {\n    default: break;\n    }\n", 9))
    branch += 1
    out.append("  // INLINE_CHAINS follow\n")
    for i in range(first, first + chains):
        out.append(f"  @BRANCH MARK=TB ID={branch} SUM=0@{{\n  rtgChainBegin( this );\n  rtgTransitionEnd();\n"
                   f"  @COMMENT@/ transition 'chain{i}' @/COMMENT@\n")
        branch += 1
    out.append("}@/BRANCH@@/NODE@\n")
    return "".join(out)


def corpus(directory, size_mb):
    rng = random.Random(7)
    os.makedirs(directory, exist_ok=True)
    total, index = 0, 0
    while total < size_mb * 1024 * 1024:
        sections = rng.choice([1, 1, 1, 2, 3])
        text = "".join(section(f"C{index}x{s}", 1000 + index, rng.choice([2, 5, 10, 40, 200]),
                               rng.choice([1, 3, 10]), rng) for s in range(sections))
        with open(os.path.join(directory, f"Capsule{index}.fdc"), "w") as f:
            f.write(text)
        total += len(text)
        index += 1


def big(directory, n):
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, "Big.fdc"), "w") as f:
        f.write(section("Big", 1, n, n, random.Random(3)))


if __name__ == "__main__":
    mode, directory, amount = sys.argv[1], sys.argv[2], int(sys.argv[3])
    (corpus if mode == "corpus" else big)(directory, amount)
