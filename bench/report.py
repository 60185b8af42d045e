#!/usr/bin/env python3
"""Turns the lines the benchmark programs print (bench/stats.h) into the measured part of
docs/performance.md: everything between the two marker lines is replaced, the rest of the
document (method, profiling notes, before and after) is kept as written."""
import argparse
import datetime
import os
import re
import subprocess

BEGIN = "<!-- measured:begin (written by bench/run.sh) -->"
END = "<!-- measured:end -->"

# Time to window: no worse than the run before the platform layer, with the aims beside.
WINDOW_TARGETS = {"1": (1.12, 1.05), "256": (1.30, 1.15)}
SIZE_TARGET = 750_000
PAINT_TARGET_US = 1000.0
INSTALL_TARGET = 1.5


def parse(path):
    stats, info, setups = {}, {}, []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            cols = line.rstrip("\r\n").split("\t")
            if cols[0] == "setup" and len(cols) >= 5:
                setups.append({"name": cols[1], "libraries": int(cols[2]), "bytes": int(cols[3])})
            elif cols[0] == "info" and len(cols) >= 4:
                info[cols[1]] = cols[3]
            elif len(cols) >= 9 and cols[0] in ("window", "ratio", "paint", "install", "discovery"):
                count, median, p10, p90, lo, hi = int(cols[3]), *map(float, cols[4:9])
                # The first run of a program wins: the install bench's second run only adds
                # its figure without the window.
                if (cols[0], cols[1]) in stats:
                    continue
                stats[(cols[0], cols[1])] = {"n": count, "median": median, "p10": p10, "p90": p90, "min": lo, "max": hi}
    return stats, info, setups


def fmt(value, digits=1):
    return f"{value:,.{digits}f}"


def spread(s, digits=1):
    return f"{fmt(s['median'], digits)} ({fmt(s['p10'], digits)}–{fmt(s['p90'], digits)})"


def verdict(ok):
    return "met" if ok else "**missed**"


def sections(exe):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", exe], capture_output=True, text=True, check=True).stdout
    result = []
    for line in out.splitlines():
        m = re.match(r"\s*\d+\s+(\S+)\s+([0-9a-fA-F]+)\s", line)
        if m:
            result.append((m.group(1), int(m.group(2), 16)))
    return result


def size_part(exe, payload):
    parts = sections(exe)
    rsrc = sum(size for name, size in parts if name == ".rsrc")
    code = sum(size for name, size in parts if name == ".text")
    other = sum(size for name, size in parts if name not in (".rsrc", ".text"))
    files = {name: os.path.getsize(os.path.join(payload, name))
             for name in ("Kestrovane.dll", "door_open.wav", "door_close.wav", "kestrovane.ico")}
    payload_bytes = files["Kestrovane.dll"] + files["door_open.wav"] + files["door_close.wav"]
    total = os.path.getsize(exe)
    lines = ["### Size", "",
             "From `x86_64-w64-mingw32-objdump -h build/Kestrovane-Setup.exe` and the staged payload files "
             "(`build/payload/`).", "",
             "| Part | Bytes | Share of the exe |", "|---|---:|---:|"]
    def row(label, value):
        lines.append(f"| {label} | {value:,} | {100.0 * value / total:.1f} % |")
    row("Whole exe (file size)", total)
    row("Code (`.text`)", code)
    row("Other sections (" + ", ".join(f"`{n}`" for n, _ in parts if n not in (".rsrc", ".text")) + ")", other)
    row("Resources (`.rsrc`)", rsrc)
    row("… of which payload: plug-in library + two sounds", payload_bytes)
    row("… of which icon group", files["kestrovane.ico"])
    row("… of which manifest, version resource, directory", max(0, rsrc - payload_bytes - files["kestrovane.ico"]))
    lines += ["", f"Target: the whole exe at most {SIZE_TARGET:,} bytes: {verdict(total <= SIZE_TARGET)}.",
              "", f"Stand-in plug-in `Kestrovane.dll`: {files['Kestrovane.dll']:,} bytes; "
              f"`door_open.wav` {files['door_open.wav']:,} bytes; `door_close.wav` {files['door_close.wav']:,} bytes.",
              ""]
    return lines


def window_part(stats, info, setups):
    lines = ["### Time to window", "",
             "Median wall time from `CreateProcessW` to the end of the first paint, in ms, with the 10th–90th "
             f"percentile in brackets; {info.get('machine/trials', '?')} trials per program and setup, installer and "
             "floor interleaved (the order alternates). Paired ratio: the median over trials of installer time / floor "
             "time of the same trial, which cancels the slow drifts of the machine's load; the targets are judged on "
             "it. Ratio of medians for comparison.", "",
             "| Steam setup | Library file | Games listed | Installer | Floor | Paired ratio (p10–p90) | "
             "Ratio of medians | Target |",
             "|---|---:|---:|---:|---:|---:|---:|---|"]
    for setup in setups:
        name = setup["name"]
        inst, flo = stats.get(("window", f"{name}/installer")), stats.get(("window", f"{name}/floor"))
        if not inst or not flo:
            continue
        ratio = inst["median"] / flo["median"]
        paired = stats.get(("ratio", f"{name}/installer : floor"))
        judged = paired["median"] if paired else ratio
        target, aim = WINDOW_TARGETS.get(name, (None, None))
        target_text = (f"≤ {target:.2f}: {verdict(judged <= target)}; aim ≤ {aim:.2f}: {verdict(judged <= aim)}"
                       if target else "—")
        label = f"{setup['libraries']} librar{'y' if setup['libraries'] == 1 else 'ies'}"
        if name.endswith("1MB"):
            label += ", padded file"
        games = info.get(f"{name}/games", "?")
        paired_text = spread(paired, 3) if paired else "—"
        lines.append(f"| {label} | {setup['bytes']:,} B | {games} | {spread(inst)} | {spread(flo)} | "
                     f"{paired_text} | {ratio:.3f} | {target_text} |")
    bare = stats.get(("window", "1/floor without manifest"))
    if bare:
        flo = stats[("window", "1/floor")]
        cost = flo["median"] - bare["median"]
        effect = (f"so the manifest (its activation context and DPI settings) costs about {cost:.1f} ms of the "
                  "floor's time." if abs(cost) > 0.02 * flo["median"] else
                  "no measurable difference from the floor with it: the manifest costs nothing that shows.")
        lines += ["", f"The floor without the installer's manifest (1-library run): {spread(bare)} ms, {effect}"]
    lines += ["", "Discovery alone, inside one process (`kv_discovery_bench`, median of 50 runs after 3 warm-up runs, "
                  "ms):", "",
              "| Steam setup | Libraries | Games | `FindSteamLibraries` | `DiscoverGames` (libraries + game folders) |",
              "|---|---:|---:|---:|---:|"]
    for setup in setups:
        name = setup["name"]
        find, disc = stats.get(("discovery", f"{name}/FindSteamLibraries")), stats.get(("discovery", f"{name}/DiscoverGames"))
        if find and disc:
            lines.append(f"| {name} | {info.get(f'{name}/libraries', '?')} | {info.get(f'{name}/games', '?')} | "
                         f"{spread(find, 2)} | {spread(disc, 2)} |")
    return lines + [""]


def paint_part(stats):
    lines = ["### Painting", "",
             "Three games, a 32-bit DIB section as the target; median µs per call (10th–90th percentile).", "",
             "| Scale | `PaintWindow` | First `PaintWindow` (cold glyph cache) | Fill + blit of the client | Ratio | "
             "Fresh bitmap + `PaintWindow` + blit (all of `WM_PAINT` but the window) | Target ≤ 1 ms |",
             "|---|---:|---:|---:|---:|---:|---|"]
    for scale in ("1.00", "1.50"):
        paint = stats.get(("paint", f"scale {scale}/PaintWindow"))
        first = stats.get(("paint", f"scale {scale}/first PaintWindow"))
        fill = stats.get(("paint", f"scale {scale}/fill and blit"))
        whole = stats.get(("paint", f"scale {scale}/bitmap, PaintWindow and blit"))
        if not (paint and fill and whole and first):
            continue
        target = verdict(paint["median"] <= PAINT_TARGET_US) if scale == "1.50" else "—"
        lines.append(f"| {scale} | {spread(paint, 0)} | {fmt(first['median'], 0)} | {spread(fill, 0)} | "
                     f"{paint['median'] / fill['median']:.1f} | {spread(whole, 0)} | {target} |")
    return lines + [""]


def install_part(stats, info):
    inst = stats.get(("install", "RunInstallSequence, two games"))
    bare = stats.get(("install", "RunInstallSequence, no window"))
    files = stats.get(("install", "CopyFileW, 3 files x 2 games"))
    both = stats.get(("install", "CopyFileW, 3 files x 2 games + program copy"))
    folders = stats.get(("install", "CreateDirectoryW + CopyFileW, 3 files x 2 games + program copy"))
    if not (inst and files and both and folders):
        return []
    ratio = inst["median"] / folders["median"]
    lines = ["### Installing", "",
             "Two games in fresh folders, median ms (10th–90th percentile). The install is the whole "
             "`RunInstallSequence` with the installer window on screen: probe, \"Installing…\" repaint, folders, "
             "extraction, and the uninstall registration with its copy of the running program. The raw copy makes the "
             "same folders with `CreateDirectoryW` and copies the same bytes with `CopyFileW`.", "",
             "| What | Median ms |", "|---|---:|",
             f"| `RunInstallSequence`, two games, window on screen | {spread(inst, 2)} |"]
    if bare:
        lines.append(f"| `RunInstallSequence`, two games, no window (no repaint) | {spread(bare, 2)} |")
    lines += [f"| `CreateDirectoryW` + `CopyFileW`: folders, three files × 2, program copy | {spread(folders, 2)} |",
              f"| `CopyFileW` only: three files × 2 + program copy (folders made beforehand) | {spread(both, 2)} |",
              f"| `CopyFileW` only: three files × 2 | {spread(files, 2)} |", "",
              f"Ratio install / raw copy (same folders and bytes, program copy on both sides): **{ratio:.2f}** "
              f"(target ≤ {INSTALL_TARGET}: {verdict(ratio <= INSTALL_TARGET)})."]
    if bare:
        lines.append(f"Without the window's repaint: {bare['median'] / folders['median']:.2f}.")
    lines += [f"Payload bytes written per install: {int(info.get('install/payload bytes written', 0)):,}; "
              f"program copy: {int(info.get('install/program copy bytes', 0)):,} bytes.", ""]
    return lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--results", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--payload", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    stats, info, setups = parse(args.results)

    # The results file was last written at the end of the run.
    when = datetime.datetime.fromtimestamp(os.path.getmtime(args.results)).strftime("%Y-%m-%d %H:%M")
    loads = [info.get("machine/load at start", "?"), info.get("machine/load at end", "?")]
    try:
        busy = max(float(load.split()[0]) for load in loads) > 2.0
    except ValueError:
        busy = False
    shared = " (other builds shared the machine)" if busy else ""
    block = [BEGIN, "", f"Measured {when} by `bash bench/run.sh` on {info.get('machine/cpus', '?')} CPUs "
             f"({info.get('machine/cpu model', '?')}), {info.get('machine/wine', '?')}, Xvfb; load average "
             f"{loads[0]} at the start and {loads[1]} at the end{shared}.", ""]
    block += window_part(stats, info, setups) + paint_part(stats) + install_part(stats, info)
    block += size_part(args.exe, args.payload) + [END]
    text = "\n".join(block) + "\n"

    if os.path.exists(args.out):
        with open(args.out, encoding="utf-8") as f:
            doc = f.read()
        if BEGIN in doc and END in doc:
            head, rest = doc.split(BEGIN, 1)
            tail = rest.split(END, 1)[1].lstrip("\n")
            text = head + text + ("\n" + tail if tail else "")
        else:
            text = doc.rstrip("\n") + "\n\n" + text
    else:
        text = "# Performance\n\n" + text
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
