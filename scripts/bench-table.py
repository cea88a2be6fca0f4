#!/usr/bin/env python3
"""Turns gearledger-bench's JSON output into the README's Performance tables.

    build-bench/gearledger-bench --benchmark_format=json > bench.json
    python3 scripts/bench-table.py bench.json [more.json ...]

Later files win where they hold the same benchmark, so runs of different sizes
can be put together. Every operation gets its time at each size measured, with
the time per item; beside it, at the largest size, its floor or peer from the
same run and the ratio, and whether it keeps its budget; and how much the cost
per item grows from 100,000 to 1,000,000 items (flagged over 1.5x). A second
table lists the benchmarks that are not by size.
"""

import argparse
import json
import re
import sys

SIZES = (1000, 10000, 100000, 1000000)
GROWTH_FLAG = 1.5

# (what the user waits for, benchmark, kind of budget, floor or limit, bound)
#   floor: at most `bound` times the floor's time (and, for "save", program CPU
#          beyond the floor's CPU at most 20 ms)
#   scan:  at most `bound` times floor/scan, and at most half the SQLite peer's time
#   wall:  at most `bound` seconds
#   none:  measured, with the floor given beside it for scale
SEARCHES = [
    ("names", "name", "few"), ("names", "name", "many"),
    ("descriptions", "description", "few"), ("descriptions", "description", "many"),
    ("both", "both", "few"), ("both", "both", "many"),
]
ROWS = (
    [
        ("Start-up to a listed database", "op/start_up/filled", "floor", "floor/read", 1.5),
        ("Start-up to a listed database, in a process of its own", "op/start_up/own_process", "floor",
         "floor/read/own_process", 1.5),
        ("Start-up until the list has placed every row", "op/start_up/every_row_placed", "none", "floor/read",
         None),
        ("Show All, core", "op/list_all", "floor", "floor/read", 1.5),
        ("Show All, click to painted list", "op/list_all/painted", "floor", "floor/read", 1.5),
    ]
    + [(f"Search in {where}, {hits} hits, core", f"op/search/{where}/{hits}", "scan",
        f"peer/sqlite_like/{field}/{hits}", 1.5) for where, field, hits in SEARCHES]
    + [(f"Search in {where}, {hits} hits, key press to painted list", f"op/search/{where}-{hits}-painted",
        "wall", None, 0.100) for where, _, hits in SEARCHES]
    + [
        ("Select an entry, its description painted", "op/select/painted", "none", None, None),
        ("\"Update\" of one item", "op/update/one", "save", "floor/safe_save", 1.3),
        ("Delete of one item", "op/delete/one", "save", "floor/safe_save", 1.3),
        ("Add one item", "op/add/one", "save", "floor/safe_save", 1.3),
        ("Undo of a delete", "op/undo/one", "save", "floor/safe_save", 1.3),
        ("Keeping a version (hard link)", "op/keep_version/linked", "save", "floor/safe_save", 1.3),
        ("Keeping a version (a copy, where no hard link can be made)", "op/keep_version/copied", "save",
         "floor/safe_save", 1.3),
        ("Listing 3 versions with their items, first time", "op/versions/list", "none", "floor/read", None),
        ("Listing 3 versions with their items, again", "op/versions/list_again", "none", "floor/read", None),
        ("Import of half new items, core", "op/import/overlapping", "none", "floor/safe_save", None),
        ("Import of half new items, to painted list", "op/import/overlapping-painted", "none", "floor/safe_save",
         None),
        ("Merge of a download of half new items, core", "op/merge/overlapping", "none", "floor/safe_save", None),
        ("Merge of a download of half new items, to painted list", "op/merge/overlapping-painted", "none",
         "floor/safe_save", None),
        ("Floor: reading the file and finding its line ends", "floor/read", "none", None, None),
        ("Reading the file into memory asked of the system each time", "floor/read_new_memory", "none", None,
         None),
        ("Reading the file into memory asked of the system each time, with large pages",
         "floor/read_new_large_pages", "none", None, None),
        ("Floor: reading the file and finding its line ends, in a process of its own (new memory, large "
         "pages)", "floor/read/own_process", "none", None, None),
        ("Floor: one pass over the bytes with the fold table", "floor/scan", "none", None, None),
        ("Floor: writing the file, one sync, the rename", "floor/safe_save", "none", None, None),
    ]
    + [(f"SQLite `LIKE` in {where}, {hits} hits", f"peer/sqlite_like/{field}/{hits}", "none", None, None)
       for where, field, hits in SEARCHES]
)
CPU_BEYOND_FLOOR = 0.020  # seconds of CPU a change may spend beyond the floor's
MEMORY_BOUND = 1.25  # times the file's size


def seconds(value, unit):
    return value * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[unit]


def load(paths):
    """{name: entry} of the medians (or the single runs), later files winning; and the last context."""
    results, context = {}, {}
    for path in paths:
        with open(path, encoding="utf-8") as stream:
            data = json.load(stream)
        context = data.get("context", context)
        found = {}
        for entry in data.get("benchmarks", []):
            # Benchmarks given their own repetitions or iterations carry them in
            # their names ("op/update/one/1000000/repeats:3"), and those timed
            # by hand say so ("/manual_time").
            name = re.sub(r"/(repeats|iterations|min_time):[^/]*|/manual_time$", "",
                          entry.get("run_name", entry["name"]))
            if entry.get("run_type") == "aggregate":
                if entry.get("aggregate_name") == "median":
                    found[name] = entry
            elif found.get(name, {}).get("run_type") != "aggregate":
                found[name] = entry  # a benchmark run once, or one that failed
        results.update(found)
    return results, context


def time_text(value):
    for limit, unit, scale in ((1e-6, "ns", 1e9), (1e-3, "µs", 1e6), (1.0, "ms", 1e3)):
        if value < limit:
            break
    else:
        unit, scale = "s", 1.0
    shown = value * scale
    return f"{shown:.3g} {unit}" if shown < 100 else f"{shown:.0f} {unit}"


def size_text(items):
    return {1000: "1k", 10000: "10k", 100000: "100k", 1000000: "1M"}.get(items, str(items))


class Results:
    def __init__(self, entries):
        self.entries = entries

    def entry(self, base, items):
        return self.entries.get(f"{base}/{items}")

    def time(self, base, items):
        entry = self.entry(base, items)
        if not entry or entry.get("error_occurred"):
            return None
        return seconds(entry["real_time"], entry["time_unit"])

    def cpu(self, base, items):
        """(program, kernel) CPU seconds per round, when measured."""
        entry = self.entry(base, items)
        if not entry or entry.get("error_occurred") or "user_ms" not in entry:
            return None
        return entry["user_ms"] / 1000, entry["sys_ms"] / 1000

    def error(self, base, items):
        entry = self.entry(base, items)
        return entry.get("error_message", "failed") if entry and entry.get("error_occurred") else None

    def sizes(self):
        found = set()
        for name in self.entries:
            tail = name.rsplit("/", 1)[-1]
            if tail.isdigit() and int(tail) in SIZES:
                found.add(int(tail))
        return sorted(found)


def cell(results, base, items):
    time = results.time(base, items)
    if time is None:
        return "fails" if results.error(base, items) else ""
    return f"{time_text(time)} ({time_text(time / items)})"


def growth(results, base):
    small, large = results.time(base, 100000), results.time(base, 1000000)
    if small is None or large is None:
        return ""
    ratio = (large / 1000000) / (small / 100000)
    return f"**{ratio:.2f}× ⚠**" if ratio > GROWTH_FLAG else f"{ratio:.2f}×"


def beside_and_budget(results, row, items):
    _, base, kind, other, bound = row
    time = results.time(base, items)
    if time is None:
        return "", ""
    beside, verdicts = [], []
    if kind in ("floor", "save", "none") and other:
        floor = results.time(other, items)
        if floor is not None:
            beside.append(f"{other} {time_text(floor)}: {time / floor:.2f}×")
            if bound:
                verdicts.append((f"≤ {bound}× floor", time <= bound * floor))
    if kind == "save":
        cpu, floor_cpu = results.cpu(base, items), results.cpu(other, items)
        if cpu:
            beside.append(f"CPU {time_text(sum(cpu))} (program {time_text(cpu[0])}, kernel {time_text(cpu[1])})")
        if cpu and floor_cpu:
            extra = sum(cpu) - sum(floor_cpu)
            beside.append(f"CPU beyond the floor's {time_text(max(extra, 0.0))}")
            verdicts.append((f"CPU beyond ≤ {time_text(CPU_BEYOND_FLOOR)}", extra <= CPU_BEYOND_FLOOR))
    if kind == "scan":
        scan, peer = results.time("floor/scan", items), results.time(other, items)
        if scan is not None:
            beside.append(f"floor/scan {time_text(scan)}: {time / scan:.2f}×")
            verdicts.append((f"≤ {bound}× scan", time <= bound * scan))
        if peer is not None:
            beside.append(f"SQLite {time_text(peer)}: {time / peer:.2f}×")
            verdicts.append(("≤ 0.5× SQLite", time <= 0.5 * peer))
    if kind == "wall":
        verdicts.append((f"≤ {time_text(bound)}", time <= bound))
    budget = "; ".join(f"{text}: {'met' if met else '**missed**'}" for text, met in verdicts)
    return "; ".join(beside), budget


def memory_rows(results, sizes):
    rows = []
    resident = [(items, results.entry("mem/resident", items)) for items in sizes]
    if any(entry and not entry.get("error_occurred") for _, entry in resident):
        cells, largest = [], None
        for items, entry in resident:
            if entry and not entry.get("error_occurred"):
                above = entry["rss_kib_above_empty"] * 1024
                cells.append(f"{above / 2**20:.3g} MB ({above / items:.0f} B)")
                largest = (items, entry)
            else:
                cells.append("fails" if entry else "")
        items, entry = largest
        file_bytes = entry["file_kib"] * 1024
        above, peak = entry["rss_kib_above_empty"] * 1024, entry["peak_kib_above_empty"] * 1024
        after = entry["show_all_rss_kib_above_empty"] * 1024
        beside = (f"the file {file_bytes / 2**20:.3g} MB: {above / file_bytes:.2f}×; peak at start-up "
                  f"{peak / 2**20:.3g} MB; after a Show All {after / 2**20:.3g} MB")
        budget = f"≤ {MEMORY_BOUND}× the file: {'met' if above <= MEMORY_BOUND * file_bytes else '**missed**'}"
        rows.append(["Memory with the database listed (resident, above an empty program)"] + cells
                    + [beside, budget, ""])
    heap = [(items, results.entry("mem/listed", items)) for items in sizes]
    if any(entry and not entry.get("error_occurred") for _, entry in heap):
        cells = []
        for items, entry in heap:
            if entry and not entry.get("error_occurred"):
                above = entry["kib_above_empty"] * 1024
                cells.append(f"{above / 2**20:.3g} MB ({above / items:.0f} B)")
            else:
                cells.append("fails" if entry else "")
        rows.append(["Memory with the database listed (heap in use, above an empty database)"] + cells
                    + ["", "", ""])
    return rows


def sized_table(results):
    sizes = results.sizes()
    largest = sizes[-1] if sizes else None
    header = (["What the user waits for"] + [f"{items:,} items" for items in sizes]
              + [f"Beside it at {largest:,}" if largest else "Beside it", "Budget", "Per item, 100k → 1M"])
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for row in ROWS:
        label, base = row[0], row[1]
        if not any(results.entry(base, items) for items in sizes):
            continue
        measured = [items for items in sizes if results.time(base, items) is not None]
        beside, budget = beside_and_budget(results, row, measured[-1]) if measured else ("", "")
        if measured and measured[-1] != largest:
            beside = f"(at {measured[-1]:,}) {beside}"
        cells = [label] + [cell(results, base, items) for items in sizes] + [beside, budget, growth(results, base)]
        lines.append("| " + " | ".join(cells) + " |")
    for cells in memory_rows(results, sizes):
        lines.append("| " + " | ".join(cells) + " |")
    return lines


def other_table(results):
    lines = []
    for name, entry in sorted(results.entries.items()):
        tail = name.rsplit("/", 1)[-1]
        if tail.isdigit() and int(tail) in SIZES and not name.startswith(("op/fields", "mem/fields", "op/query",
                                                                          "peer/sqlite_fields", "op/score")):
            continue
        if entry.get("error_occurred"):
            text = "fails: " + entry.get("error_message", "")
        else:
            text = time_text(seconds(entry["real_time"], entry["time_unit"]))
        counters = ", ".join(f"{key} {entry[key]:.4g}" for key in sorted(entry)
                             if key.endswith(("_kib", "_ms", "hits", "found", "blocks", "fields", "groups",
                                              "_lines", "kib_above_none")))
        lines.append(f"| `{name}` | {text} | {counters} |")
    if lines:
        lines = ["| Benchmark | Time | Counters |", "|---|---|---|"] + lines
    return lines


def flagged(results):
    """The operations whose cost per item rises by more than the flag from 100k to 1M."""
    names = []
    for row in ROWS:
        small, large = results.time(row[1], 100000), results.time(row[1], 1000000)
        if small and large and (large / 1000000) / (small / 100000) > GROWTH_FLAG:
            names.append(f"{row[0]} ({(large / 1000000) / (small / 100000):.2f}×)")
    return names


def machine_line(context):
    load = ", ".join(f"{x:.2f}" for x in context.get("load_avg", []))
    return (f"Run on {context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz, "
            f"load average {load or '?'}, {context.get('date', '')}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("json", nargs="+", help="gearledger-bench --benchmark_format=json output")
    arguments = parser.parse_args()
    entries, context = load(arguments.json)
    results = Results(entries)
    print(machine_line(context))
    print()
    print("\n".join(sized_table(results)))
    other = other_table(results)
    if other:
        print()
        print("\n".join(other))
    rising = flagged(results)
    if rising:
        print()
        print(f"Cost per item rises by more than {GROWTH_FLAG}x from 100,000 to 1,000,000 items: " + "; ".join(rising))
    return 0


if __name__ == "__main__":
    sys.exit(main())
