#!/usr/bin/env python3
"""Prints the benchmark report as Markdown from a JSON run of TavroFxBench.

    build/test/bench/TavroFxBench --benchmark_format=json > run.json
    tools/bench_table.py run.json [--previous older.json] [--build build/test]

Rows of one case (steady and moving, or several modes of one effect) are folded into one row per
block size that keeps the worst of each figure. A row's case is the benchmark's label when it set
one, otherwise its name without the "BM_" prefix and a trailing "_Steady" or "_Moving". Loading
rows (those reporting load_s) get a table of their own. Rows that miss an aim are marked.
"""

import argparse
import json
import os
import re
import subprocess
import sys

EFFECT_AIM_512 = 100.0      # every effect alone, 512-sample blocks
ROAD_AIM = {64: 8.0, 512: 15.0}
WORST_SHARE_AIM = 0.20
SILENCE_RATIO_LIMIT = 2.0
RTF_DROP_TO_EXPLAIN = 0.10


def name_parts(run):
    """The parts of a run's name that name it: no block size, no "iterations:5", no "manual_time"."""
    return [p for p in run["run_name"].split("/")
            if not p.isdigit() and ":" not in p and p not in ("manual_time", "real_time")]


def case_of(run):
    if run.get("label"):
        return run["label"]
    # BENCHMARK_CAPTURE names read "function/capture": the capture names the row.
    name = name_parts(run)[-1]
    name = re.sub(r"^BM_", "", name)
    return re.sub(r"_(Steady|Moving)$", "", name)


def block_of(run):
    sizes = [p for p in run["run_name"].split("/") if p.isdigit()]
    return int(sizes[0]) if sizes else 0


def load_runs(path):
    with open(path) as f:
        report = json.load(f)
    runs = [b for b in report.get("benchmarks", []) if b.get("run_type", "iteration") == "iteration"]
    return report.get("context", {}), runs


def fold(runs):
    """(case, block) -> worst figures over the rows of that case."""
    rows = {}
    for run in runs:
        if "rtf" not in run:
            continue
        key = (case_of(run), block_of(run))
        row = rows.setdefault(key, {"rtf": float("inf"), "worst_us": 0.0, "worst_share": 0.0,
                                    "p999_us": 0.0, "silence_ratio": 0.0})
        row["rtf"] = min(row["rtf"], run["rtf"])
        for k in ("worst_us", "worst_share", "p999_us", "silence_ratio"):
            row[k] = max(row[k], run.get(k, 0.0))
    return rows


def misses(case, block, row):
    notes = []
    if case.startswith("Road"):
        if block in ROAD_AIM and row["rtf"] < ROAD_AIM[block]:
            notes.append("RTF below %gx" % ROAD_AIM[block])
    elif block == 512 and row["rtf"] < EFFECT_AIM_512:
        notes.append("RTF below %gx" % EFFECT_AIM_512)
    if row["worst_share"] > WORST_SHARE_AIM:
        notes.append("worst block over %d %% of the period" % round(WORST_SHARE_AIM * 100))
    if row["silence_ratio"] > SILENCE_RATIO_LIMIT:
        notes.append("denormals")
    return notes


def audio_table(rows, previous):
    if not rows:
        return []
    out = ["| Case | Block | RTF | Worst block (µs) | Worst / period | p99.9 (µs) | Silence / program |",
           "|---|---|---|---|---|---|---|"]
    explain = []
    for (case, block), row in sorted(rows.items()):
        notes = misses(case, block, row)
        mark = " **(misses: %s)**" % ", ".join(notes) if notes else ""
        rtf = "%.1f" % row["rtf"]
        before = previous.get((case, block))
        if before and before["rtf"] > 0:
            change = row["rtf"] / before["rtf"] - 1.0
            rtf += " (%+.0f %%)" % (change * 100)
            if change < -RTF_DROP_TO_EXPLAIN:
                explain.append("%s at %d" % (case, block))
        out.append("| %s%s | %d | %s | %.1f | %.1f %% | %.1f | %.2f |" % (
            case, mark, block, rtf, row["worst_us"], row["worst_share"] * 100, row["p999_us"],
            row["silence_ratio"]))
    if explain:
        out.append("")
        out.append("RTF down by more than %d %% against the previous report: %s." % (
            round(RTF_DROP_TO_EXPLAIN * 100), "; ".join(explain)))
    return out


def load_table(runs):
    loads = [r for r in runs if "load_s" in r]
    if not loads:
        return []
    out = ["| Load | Playable (s) | Aim (s) | Decoded (MiB) | Resident after (MiB) | Peak (MiB) |",
           "|---|---|---|---|---|---|"]
    for r in sorted(loads, key=lambda r: r["run_name"]):
        aim = r.get("aim_s", 0.0)
        mark = " **(misses)**" if (aim > 0 and r["load_s"] > aim) or r.get("memory_ok", 1.0) < 1.0 else ""
        out.append("| %s%s | %.3f | %s | %.0f | %.0f | %.0f |" % (
            case_of(r), mark, r["load_s"], "%.2f" % aim if aim > 0 else "-", r.get("decoded_mib", 0.0),
            r.get("resident_after_mib", 0.0), r.get("peak_mib", 0.0)))
    return out


def first_line_matching(path, pattern):
    try:
        with open(path) as f:
            for line in f:
                if re.match(pattern, line):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown"


def read_text(path):
    try:
        with open(path) as f:
            return f.read().strip()
    except OSError:
        return "unknown"


def compile_flags(build_dir):
    """The optimisation and target flags our own sources were built with."""
    try:
        with open(os.path.join(build_dir, "compile_commands.json")) as f:
            commands = json.load(f)
    except (OSError, ValueError):
        return "unknown"
    for entry in commands:
        if "/src/effects/" in entry.get("file", ""):
            words = entry.get("command", "").split()
            keep = [w for w in words if re.match(r"^-(O|m|f|g$|DNDEBUG|std=)", w)]
            return " ".join(dict.fromkeys(keep)) if keep else "none"
    return "unknown"


def commit():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    try:
        sha = subprocess.run(["git", "-C", root, "rev-parse", "--short", "HEAD"], capture_output=True,
                             text=True, check=True).stdout.strip()
        dirty = subprocess.run(["git", "-C", root, "status", "--porcelain", "--untracked-files=no"],
                               capture_output=True, text=True).stdout.strip()
        return sha + (" (with uncommitted changes)" if dirty else "")
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("report", help="JSON from --benchmark_format=json (or - for stdin)")
    parser.add_argument("--previous", help="an earlier JSON report to compare the RTF against")
    parser.add_argument("--build", default="build/test", help="build folder, for the compile flags")
    args = parser.parse_args()

    context, runs = load_runs("/dev/stdin" if args.report == "-" else args.report)
    previous = fold(load_runs(args.previous)[1]) if args.previous else {}

    tables = [t for t in (audio_table(fold(runs), previous), load_table(runs)) if t]
    lines = [line for i, t in enumerate(tables) for line in ([""] if i else []) + t]
    core = context.get("measuring_core", "?")
    lines += [
        "",
        "- Machine: %s, %s cores, governor %s; measured on core %s" % (
            first_line_matching("/proc/cpuinfo", r"^model name"), context.get("num_cpus", "?"),
            read_text("/sys/devices/system/cpu/cpu%s/cpufreq/scaling_governor" % core), core),
        "- Compiler: %s; flags: %s" % (context.get("compiler", "unknown"), compile_flags(args.build)),
        "- FFT engine: %s" % context.get("fft_engine", "unknown"),
        "- Commit: %s" % commit(),
    ]
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
