#!/usr/bin/env python3
"""Makes docs/PERFORMANCE.md from the Google Benchmark JSON files of one run.

    tools/perf-report.py RESULTS_DIR > docs/PERFORMANCE.md

RESULTS_DIR holds <program>.json for each benchmark program that ran (./bench.sh
writes them) and, for a program that could not run, <program>.missing with
the reason. Every figure stands beside its peer from the same run, with the
ratio and the goal; a goal that is missed, or a figure that is missing, says
so in the table.
"""
import json
import os
import platform
import re
import subprocess
import sys
import time

# Why a goal can be missed, shown beside the verdict when it is.
NOTES = {
    ("Load/100k_keys_1_section/IniDocument", "Load/100k_keys_1_section/inih"):
        "inih's empty handler stores nothing, while the document makes two heap blocks per key (entry and "
        "table node) and regrows the one key table through every prime up to 100k keys; with a block "
        "pool (the IniDocument_pool row) the same load takes about inih's time. The model lists load without a "
        "pool, and a real list has tens of keys, where the difference is microseconds",
    ("MergeOnly/large", "Floor/large_1_file"):
        "the merge writes each line with a write call of its own as soon as it is read (about 250 000 "
        "calls for 10 MB); the floor writes the file in one call",
    ("Press/realistic_with_copy", "Floor/realistic_3_files"):
        "the copy to the Save As target goes through a new file and a rename, so that the user's old "
        "file survives a copy that fails; the floor writes three files and nothing else",
}

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
PROGRAMS = ["catalog_bench", "substitute_bench", "sequence_bench"]


def load(results):
    runs, missing, contexts = {}, {}, {}
    for program in PROGRAMS + sorted(
        f[:-5] for f in os.listdir(results) if f.endswith(".json") and f[:-5] not in PROGRAMS
    ):
        json_path = os.path.join(results, program + ".json")
        why_path = os.path.join(results, program + ".missing")
        if os.path.exists(json_path):
            try:
                with open(json_path) as f:
                    data = json.load(f)
            except (OSError, ValueError) as e:
                missing[program] = f"its output could not be read ({e})"
                continue
            contexts[program] = data.get("context", {})
            for b in data.get("benchmarks", []):
                if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
                    if b.get("error_occurred"):
                        missing[program + ":" + b["name"]] = b.get("error_message", "error")
                    continue
                name = re.sub(r"/(manual_time|real_time|iterations:\d+|min_time:[^/]+|repeats:\d+)", "", b["name"])
                scale = UNIT_NS[b.get("time_unit", "ns")]
                manual = b["name"].endswith("/manual_time")
                runs[name] = {
                    # Manual times are the benchmark's own CPU-time measurement;
                    # otherwise CPU time, as the machine is shared.
                    "ns": (b["real_time"] if manual else b["cpu_time"]) * scale,
                    "bytes_per_second": b.get("bytes_per_second"),
                    "counters": b,
                }
        elif os.path.exists(why_path):
            with open(why_path) as f:
                missing[program] = f.read().strip() or "not built"
        elif program in PROGRAMS:
            missing[program] = "not run"
    return runs, missing, contexts


def fmt_time(ns):
    if ns is None:
        return "—"
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


def fmt_rate(bps):
    return "—" if bps is None else f"{bps / 1e6:.0f} MB/s"


class Report:
    def __init__(self, runs, missing):
        self.runs, self.missing, self.rows = runs, missing, []

    def get(self, name):
        return self.runs.get(name)

    def why_missing(self, *names):
        for n in names:
            if n not in self.runs:
                program = next((p for p in self.missing if n.startswith(p.split(":")[0])), None)
                for key, why in self.missing.items():
                    if key.endswith(":" + n):
                        return f"{n}: {why}"
                return f"{n} not measured" + (f" ({self.missing[program]})" if program else "")
        return None

    def ratio_row(self, area, figure, peer, goal_text, check, note="", show=fmt_time):
        """figure/peer as times; check(ratio) -> bool, or None for no goal."""
        why = self.why_missing(figure, peer)
        if why:
            self.rows.append((area, figure, "—", peer, "—", "—", goal_text, f"**missing**: {why}"))
            return
        a, b = self.runs[figure]["ns"], self.runs[peer]["ns"]
        ratio = a / b if b else float("inf")
        verdict = "" if check is None else ("met" if check(ratio) else "**missed**")
        note = note or NOTES.get((figure, peer), "")
        if note and verdict == "**missed**":
            verdict += f": {note}"
        elif note and not verdict:
            verdict = f"({note})"
        self.rows.append((area, figure, show(a), peer, show(b), f"{ratio:.3g}x", goal_text, verdict))

    def value_row(self, area, figure, value_text, peer, peer_text, ratio_text, goal_text, ok, note=""):
        verdict = "" if ok is None else ("met" if ok else "**missed**")
        if note and ok is False:
            verdict += f": {note}"
        self.rows.append((area, figure, value_text, peer, peer_text, ratio_text, goal_text, verdict))

    def missing_row(self, area, figure, goal_text):
        self.rows.append((area, figure, "—", "", "", "", goal_text, f"**missing**: {self.why_missing(figure)}"))


def build(report):
    r = report
    MB = 1 << 20

    # Substitution.
    sub = lambda size: f"BM_Substitute/{size}"
    r.ratio_row("substitution", sub(100 * MB), sub(MB), "<= ~150x (linear: 100x the text)",
                lambda x: x <= 150)
    for size, goal in ((MB, 400e6), (100 * MB, 300e6)):
        name = sub(size)
        if r.get(name) and r.get(name)["bytes_per_second"]:
            bps = r.get(name)["bytes_per_second"]
            mem = r.get(f"BM_Memcpy/{size}")
            r.value_row("substitution", name + " throughput", fmt_rate(bps),
                        f"BM_Memcpy/{size}", fmt_rate(mem["bytes_per_second"]) if mem else "—",
                        f"{bps / mem['bytes_per_second']:.3g}x" if mem else "—",
                        f">= {goal / 1e6:.0f} MB/s of UTF-16", bps >= goal)
        else:
            r.missing_row("substitution", name, f">= {goal / 1e6:.0f} MB/s of UTF-16")
    for size in (10 * 1024, MB, 100 * MB):
        r.ratio_row("substitution", sub(size), f"BM_Memcpy/{size}", "(the floor: a copy of the bytes)", None)
    r.ratio_row("substitution", sub(MB), f"BM_NaiveInPlace/{MB}", "faster than a naive in-place replace",
                lambda x: x < 1)
    for size in (MB, 100 * MB):
        r.ratio_row("substitution", sub(size), f"BM_PythonChain/{size}", "<= 0.5x (>= 2x Python's str.replace)",
                    lambda x: x <= 0.5)
    for size in (MB, 100 * MB):
        r.ratio_row("substitution", f"BM_SubstituteNinePasses/{size}", sub(size),
                    "(a value holding a placeholder: nine separate passes)", None)

    # INI load.
    files = sorted({m.group(1) for n in r.runs for m in [re.match(r"Load/([^/]+)/", n)] if m}) or [
        "100k_keys_1_section", "10k_sections_of_10", "50MB"]
    for f in files:
        doc = f"Load/{f}/IniDocument"
        r.ratio_row("INI load", doc, f"Load/{f}/inih", "<= 1.2x inih (empty handler)", lambda x: x <= 1.2)
        r.ratio_row("INI load", doc, f"Load/{f}/INIReader", "<= 0.5x INIReader", lambda x: x <= 0.5)
        r.ratio_row("INI load", doc, f"Load/{f}/SimpleIni", "(SimpleIni)", None)
        r.ratio_row("INI load", f"Load/{f}/IniDocument_pool", doc, "(with a block pool)", None)
        r.ratio_row("INI load", doc, f"Load/{f}/fgets", "(the I/O floor: fgets of every line)", None)
        run = r.get(doc)
        peak = run and run["counters"].get("peak_x_file")
        if peak is not None:
            r.value_row("INI load", doc + " peak memory", f"{peak:.2f}x the file", "", "", "",
                        "<= 4x the file size", peak <= 4)
    # Lookups.
    cases = sorted({m.group(1) for n in r.runs for m in [re.match(r"Lookup/([^/]+)/", n)] if m}) or [
        "section+key_10k_sections", "section+key_100k_keys"]
    for c in cases:
        doc = f"Lookup/{c}/IniDocument"
        r.ratio_row("lookup", doc, f"Lookup/{c}/unordered_map", "<= 1.1x unordered_map, lower-cased key",
                    lambda x: x <= 1.1)
        r.ratio_row("lookup", doc, f"Lookup/{c}/INIReader", "<= 0.33x (>= 3x faster)", lambda x: x <= 1 / 3)
        r.ratio_row("lookup", doc, f"Lookup/{c}/SimpleIni", "<= 0.33x (>= 3x faster)", lambda x: x <= 1 / 3)

    # The model-list fill.
    fill = "FillModelCombo/40_names"
    if r.get(fill):
        ns = r.get(fill)["ns"]
        r.value_row("model list", fill, fmt_time(ns), "", "", "", "well under 1 ms", ns < 1e6)
    else:
        r.missing_row("model list", fill, "well under 1 ms")

    # The whole sequence.
    for size in ("realistic", "large"):
        for copy, floor in (("with_copy", "3_files"), ("no_copy", "1_file")):
            press, peer = f"Press/{size}_{copy}", f"Floor/{size}_{floor}"
            why = r.why_missing(press, peer)
            if why:
                r.rows.append(("sequence", press, "—", peer, "—", "—", "", f"**missing**: {why}"))
                continue
            a, b = r.runs[press]["ns"], r.runs[peer]["ns"]
            if size == "realistic":
                beyond = a - b
                note = NOTES.get((press, peer), "")
                r.value_row("sequence", press, fmt_time(a), peer, fmt_time(b), f"{a / b:.3g}x",
                            "well under 1 ms beyond the floor", beyond < 1e6,
                            f"{fmt_time(beyond)} beyond the floor" + (f"; {note}" if note else ""))
                r.rows[-1] = r.rows[-1][:7] + (r.rows[-1][7] + f", {fmt_time(max(beyond, 0))} beyond the floor"
                                               if beyond < 1e6 else r.rows[-1][7],)
            else:
                r.value_row("sequence", press, fmt_time(a), peer, fmt_time(b), f"{a / b:.3g}x",
                            "(10 MB template)", None)
        for part in ("MergeOnly", "OutputStageOnly"):
            r.ratio_row("sequence", f"{part}/{size}", f"Floor/{size}_1_file", "(one stage)", None)


def machine():
    def read(path):
        try:
            with open(path) as f:
                return f.read()
        except OSError:
            return ""
    cpu = re.search(r"^model name\s*:\s*(.*)$", read("/proc/cpuinfo"), re.M)
    mem = re.search(r"^MemTotal:\s*(\d+) kB", read("/proc/meminfo"), re.M)
    try:
        compiler = subprocess.run(["g++", "--version"], capture_output=True, text=True).stdout.splitlines()[0]
    except (OSError, IndexError):
        compiler = "?"
    return [
        ("CPU", cpu.group(1) if cpu else platform.processor() or "?"),
        ("cores (nproc)", str(os.cpu_count())),
        ("memory", f"{int(mem.group(1)) / 1024 / 1024:.1f} GiB" if mem else "?"),
        ("system", f"{platform.system()} {platform.release()}"),
        ("compiler", compiler),
    ]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    runs, missing, contexts = load(sys.argv[1])
    report = Report(runs, missing)
    build(report)

    out = ["# Performance", "",
           "Made by `./bench.sh` (which runs every `*_bench` program of the native build and then "
           "`tools/perf-report.py`); do not edit by hand. Every figure stands beside its peer measured "
           "in the same run. Times are CPU time of the measuring thread (the machine is shared with other "
           "work, so wall time would mostly measure the others); the sequence rows include the kernel's "
           "file-system work.", "",
           f"Run of {min((c.get('date', '') for c in contexts.values()), default='') or time.strftime('%Y-%m-%dT%H:%M:%S', time.gmtime())}.", "",
           "## Machine", "", "| | |", "|---|---|"]
    out += [f"| {k} | {v} |" for k, v in machine()]
    builds = sorted({c.get("library_build_type", "?") for c in contexts.values()})
    if builds:
        out.append(f"| benchmarks | built with CMAKE_BUILD_TYPE=Release; Debian's Google Benchmark library "
                   f"reports itself as a {', '.join(builds)} build |")
    out += ["", "## Figures", "",
            "| area | figure | value | peer | peer's value | ratio | goal | verdict |",
            "|---|---|---|---|---|---|---|---|"]
    out += ["| " + " | ".join(row) + " |" for row in report.rows]
    missed = [row for row in report.rows if "missed" in row[7]]
    absent = [row for row in report.rows if "missing" in row[7]]
    out += ["", "## Summary", ""]
    goals = [row for row in report.rows if row[7]]
    out.append(f"{len(goals) - len(missed) - len(absent)} goals met, {len(missed)} missed, "
               f"{len(absent)} not measured.")
    if missing:
        out += ["", "Programs or benchmarks that did not give a figure:", ""]
        out += [f"- {k}: {v}" for k, v in sorted(missing.items())]
    print("\n".join(out))


if __name__ == "__main__":
    main()
