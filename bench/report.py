#!/usr/bin/env python3
"""Writes BENCHMARKS.md from the driver's results and the shipped programs' files.

  report.py RESULTS SHIPPED_DIR FLOOR_I686 OUT ROUNDS ENVIRONMENT

SHIPPED_DIR is the shipped folder; the packages and programs beside it
(*.msi, *.exe in its parent folder) are listed with it.

Timing figures are ratios of paired runs (the subject and its floor in the same
round); each is given as the median with the interquartile range and the extremes.
Sizes come from the PE headers, the section table and the resource directory.
"""
import os
import statistics
import struct
import sys

RT_BITMAP = 2
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
               "msvcrt.dll", "setupapi.dll", "comctl32.dll", "shlwapi.dll", "version.dll"}


# ---------------------------------------------------------------- PE files

class Pe:
    def __init__(self, path):
        self.path = path
        self.data = open(path, "rb").read()
        d = self.data
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        assert d[pe:pe + 4] == b"PE\0\0", path
        (_, sections, _, self.symbols_at, self.symbol_count, optional_size, _) = \
            struct.unpack_from("<HHIIIHH", d, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", d, optional)[0]
        self.bits = 32 if magic == 0x10B else 64
        directories = optional + (96 if self.bits == 32 else 112)
        self.directories = [struct.unpack_from("<II", d, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        strings = self.symbols_at + 18 * self.symbol_count  # the COFF string table
        for i in range(sections):
            name, vsize, rva, raw_size, raw_at = struct.unpack_from("<8sIIII", d, table + 40 * i)
            name = name.rstrip(b"\0").decode()
            if name.startswith("/") and self.symbols_at:  # a long name, kept in the string table
                at = strings + int(name[1:])
                name = d[at:d.index(b"\0", at)].decode()
            self.sections.append((name, vsize, rva, raw_size, raw_at))

    def offset(self, rva):
        for _, vsize, start, raw_size, raw_at in self.sections:
            if start <= rva < start + max(vsize, raw_size):
                return raw_at + rva - start
        raise ValueError("RVA outside every section")

    def section_bytes(self, name):
        return sum(raw for n, _, _, raw, _ in self.sections if n == name)

    def resources(self):
        """(type, size) of every resource's data."""
        rva, size = self.directories[2]
        if not size:
            return []
        base = self.offset(rva)
        found = []

        def walk(at, depth, kind):
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                here = kind if depth else (ident if not ident & 0x80000000 else -1)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), depth + 1, here)
                else:
                    found.append((here, struct.unpack_from("<II", self.data, base + target)[1]))

        walk(base, 0, None)
        return found

    def imports(self):
        rva, size = self.directories[1]
        names = []
        at = self.offset(rva) if size else None
        while at is not None:
            name_rva = struct.unpack_from("<5I", self.data, at)[3]
            if name_rva == 0:
                break
            start = self.offset(name_rva)
            names.append(self.data[start:self.data.index(b"\0", start)].decode().lower())
            at += 20
        return names

    def split(self):
        """File bytes as pictures, other resources, code and data, symbols."""
        total = len(self.data)
        pictures = sum(size for kind, size in self.resources() if kind == RT_BITMAP)
        resources = self.section_bytes(".rsrc")
        debug = sum(raw for n, _, _, raw, _ in self.sections if n.startswith(".debug"))
        symbols = total - self.symbols_at if self.symbols_at else 0
        code_data = total - resources - debug - symbols
        return {"total": total, "pictures": pictures, "other_resources": resources - pictures,
                "code_data": code_data, "debug": debug + symbols}


def is_pe(path):
    with open(path, "rb") as f:
        head = f.read(64)
        if len(head) < 64 or head[:2] != b"MZ":
            return False
        f.seek(struct.unpack_from("<I", head, 0x3C)[0])
        return f.read(4) == b"PE\0\0"


def files_under(folder):
    """Every file below folder, as paths relative to it, sorted."""
    found = []
    for at, _, names in os.walk(folder):
        found += [os.path.relpath(os.path.join(at, n), folder) for n in names]
    return sorted(found)


# ---------------------------------------------------------------- results

def read_results(path):
    figures = {}
    for line in open(path):
        words = line.split()
        if len(words) >= 3:
            figures.setdefault((words[0], words[1]), []).append(words[2:])
    return figures


def series(figures, figure, subject):
    rows = figures.get((figure, subject), [])
    return [float(v) for v in rows[0]] if rows else []


def spread(values, digits=2):
    values = sorted(values)
    if not values:
        return "n/a", "n/a"
    q = statistics.quantiles(values, n=4) if len(values) >= 2 else [values[0]] * 3
    f = "{:.%df}" % digits
    return f.format(statistics.median(values)), "IQR {} to {}, range {} to {}".format(
        f.format(q[0]), f.format(q[2]), f.format(values[0]), f.format(values[-1]))


def ratios(numerator, denominator):
    return [a / b for a, b in zip(numerator, denominator) if a > 0 and b > 0]


def kb(n):
    return "{:,.1f} KB".format(n / 1024)


def main():
    results, shipped, floor_i686, out, rounds, environment = sys.argv[1:7]
    fig = read_results(results)
    md = []
    w = md.append
    command = "bash bench/run.sh {}".format(rounds)

    w("# Benchmarks\n")
    w("Written by `{}` (it builds what it needs, runs everything under Wine and writes "
      "this file). {}\n".format(command, environment))
    w("Every timing figure is a ratio of paired runs: in each of {} rounds the subject and its "
      "floor run one after the other, in alternating order, built with the same tool-chain and "
      "flags (x86_64 mingw-w64, `-Os`, static run-time) and started the same way "
      "(`CreateProcessA` from `bench/driver.cpp`, under Wine, in a prefix of the benchmark's own). "
      "Two rounds before them are not kept. Figures give the median of the per-round ratios with "
      "the interquartile range and the extremes; the medians of the times themselves are there "
      "for scale only.\n".format(rounds))

    # ---- start-up
    floor = series(fig, "startup", "floor")
    real = series(fig, "startup", "real")
    scripted = series(fig, "startup", "scripted")
    shell = series(fig, "startup", "floor_shell32")
    template = series(fig, "startup", "floor_template")
    med = lambda values, base: statistics.median(ratios(values, base)) if values and base else float("nan")
    w("## Start-up: process start until the progress dialog is visible\n")
    w("Command: `{}`; figure `startup` of `bench/driver.cpp`. The driver polls every millisecond "
      "for a visible dialog of the new process. To keep the dialog open for the measurement the "
      "real program runs its uninstall job (`-u`) with a device-console stand-in "
      "(`bench/waiting_devcon.cpp`, copied in as devcon_32.exe) whose listing waits on an event "
      "that the driver sets once the dialog was seen; the scripted test variant of tests/app "
      "(the same shell and dialog; its job only waits for a file) is measured beside it. The "
      "floor (`bench/floor_dialog.cpp`) shows one dialog from a template of its own (a caption "
      "and a line of text) and nothing else. Two more floors show what the steps in between "
      "cost: the floor with the one import it lacks (the shell's `SHGetFolderPathW`), and the "
      "floor built with the program's resources, showing the program's dialog template 102 with "
      "its pictures, icon and text area.\n".format(command))
    w("| subject | ratio to the floor (median) | spread of the ratio | median time |")
    w("|---|---|---|---|")
    for name, values in (("real program, `-u`, waiting device console", real),
                         ("scripted variant, `-u`, waiting script", scripted),
                         ("floor showing the program's dialog template 102", template),
                         ("floor with the shell import", shell)):
        m, sp = spread(ratios(values, floor))
        w("| {} | **{}** | {} | {} ms |".format(name, m, sp, spread(values, 0)[0]))
    w("| floor | 1 | | {} ms |\n".format(spread(floor, 0)[0]))
    def told_apart(values, base):
        """A note when the middle half of a step's ratios holds 1."""
        rs = ratios(values, base)
        if len(rs) < 2:
            return ""
        q = statistics.quantiles(rs, n=4)
        if q[0] <= 1 <= q[2]:
            return " (IQR {:.2f} to {:.2f}: not told apart from the floor in this run)".format(q[0], q[2])
        return ""

    r_real = med(real, floor)
    goal = r_real <= 1.10
    w("Goal: within 10% of the floor. **{}** (median ratio {:.2f}; against the floor that shows "
      "the same template 102: {:.2f} for the real program, {:.2f} for the scripted "
      "variant).\n".format("Met" if goal else "Missed", r_real, med(real, template), med(scripted, template)))
    if not goal:
        w("Where the time goes, from the floors up: the program's own dialog, shown by the floor, "
          "is {:.2f} times the floor{}: two 24-bit pictures (176 x 314 and 325 x 195 pixels, "
          "348 KB) read and converted for the screen, the icon and five controls. Importing "
          "shell32.dll, which Wine loads with shcore.dll and shlwapi.dll, costs a floor {:.2f}{}. "
          "The scripted variant, which adds the program's shell, its larger file and a worker "
          "whose job reads its script and then only waits, is {:.2f}{}. The real program is {:.2f}{}: its worker is started inside "
          "`OnInitDialog`, before the dialog is first shown, and the uninstall job's first steps "
          "(loading the remote-access library, starting the command interpreter and the device "
          "console) run while the dialog is still being created, on a machine with two cores.\n"
          .format(med(template, floor), told_apart(template, floor), med(shell, floor),
                  told_apart(shell, floor), med(scripted, floor), told_apart(scripted, floor),
                  r_real, told_apart(real, floor)))
        w("What would close the gap: most of it is the work that starts with the dialog; against "
          "the floor that shows the same template the real program is {:.2f} and the scripted "
          "variant {:.2f}. Starting the job once the dialog is on the screen (for example from a "
          "message that `OnInitDialog` posts to itself) would take that work out of the time to "
          "the dialog, though not out of the job; the order in which the program starts its "
          "worker is fixed today, so this changes a fixed order. The smaller parts: bind "
          "`SHGetFolderPathW` late like the other system libraries, since only the clean-up of "
          "release 2.0 uses it (the import costs a floor {:.2f}); and smaller pictures (8-bit "
          "palette bitmaps hold a third of the bytes; the resources are fixed at 24 bits per pixel "
          "today), though the whole dialog costs a floor only {:.2f}.\n".format(
              med(real, template), med(scripted, template), med(shell, floor), med(template, floor)))

    # ---- whole run
    floor = series(fig, "wholerun", "floor")
    real = series(fig, "wholerun", "real")
    shell = series(fig, "wholerun", "floor_shell32")
    w("## Whole run without a job\n")
    w("Command: `{}`; figure `wholerun`. Process start until the process has ended: the real "
      "program with no switch (its dialog closes as soon as the worker posts Cancel) against the "
      "floor started with `close`, which closes its dialog as soon as its message loop runs.\n"
      .format(command))
    w("| subject | ratio to the floor (median) | spread of the ratio | median time |")
    w("|---|---|---|---|")
    template = series(fig, "wholerun", "floor_template")
    for name, values in (("real program, no switch", real),
                         ("floor showing the program's dialog template 102", template),
                         ("floor with the shell import", shell)):
        m, s = spread(ratios(values, floor))
        w("| {} | **{}** | {} | {} ms |".format(name, m, s, spread(values, 0)[0]))
    w("| floor, `close` | 1 | | {} ms |\n".format(spread(floor, 0)[0]))
    w("No goal is set for the whole run. Without a job the program does what the floors do, "
      "with its own dialog: against the floor that shows the same template and closes at once "
      "it is {:.2f}.\n".format(med(real, template)))

    # ---- status channel
    w("## Status channel: 10,000 lines through ReportStatus to the dialog\n")
    w("Command: `{}`; figure `status`. A variant of the program that is never shipped "
      "(`bench/status_sequences.cpp` in place of the sequences) reports 10,000 lines through the "
      "program's own `ReportStatus` from its worker thread after 100 lines that are not counted; "
      "a hook on the dialog's status line, in that variant only, "
      "counts each line where the dialog shows it and checks the order. The floor posts the same "
      "lines as `_strdup` copies with `PostMessageA` straight to a dialog procedure that shows "
      "and frees them. Lines per second run from the first report to the arrival of the last "
      "line.\n".format(command))
    arrived = series(fig, "status", "program_arrived")
    order = series(fig, "status", "program_out_of_order")
    lost = series(fig, "status", "program_lost")
    p_rate = [10000 / s for s in series(fig, "status", "program_seconds") if s > 0]
    f_rate = [10000 / s for s in series(fig, "status", "floor_seconds") if s > 0]
    m, s = spread(ratios(p_rate, f_rate))
    w("| | program | floor |")
    w("|---|---|---|")
    w("| lines arrived, every round | {} | {} |".format(
        "all 10,000" if arrived and min(arrived) == 10000 else "min {:.0f}".format(min(arrived or [0])),
        "all 10,000" if min(series(fig, "status", "floor_arrived") or [0]) == 10000 else "not all"))
    w("| out of order / not posted, every round | {:.0f} / {:.0f} | {:.0f} / {:.0f} |".format(
        max(order or [-1]), max(lost or [-1]), max(series(fig, "status", "floor_out_of_order") or [-1]),
        max(series(fig, "status", "floor_lost") or [-1])))
    w("| lines per second (median) | {} | {} |".format(spread(p_rate, 0)[0], spread(f_rate, 0)[0]))
    w("| ratio to the floor | **{}** ({}) | 1 |\n".format(m, s))
    in_order = (arrived and min(arrived) == 10000 and max(order or [1]) == 0
                and max(lost or [1]) == 0)
    w("No goal is set for the rate. Each of the program's lines takes the framework's way to the "
      "dialog: its window procedure finds the window object through a window property (which "
      "Wine answers from its server), searches the message maps, and only then reaches the "
      "dialog's `DefWindowProc`, `GetDlgItem` and `SetWindowText`; the floor's dialog procedure "
      "gets each line directly. {}\n".format(
          "Every line arrives, in order." if in_order else
          "Not every line arrived in order in every round (table above)."))
    before = fig.get(("status", "program_before"), [[]])[0]
    after = fig.get(("status", "program_after"), [[]])[0]
    settled = fig.get(("status", "program_settled"), [[]])[0]
    w("The process's counts just before the first counted line and after the last one arrived, "
      "each taken right after a full paint of the dialog, every round (handles from the system's handle list, GDI objects from the process's GDI "
      "handle table with the stock objects, heap from a walk of every heap; Wine answers neither "
      "`GetGuiResources` nor `GetProcessHandleCount`):\n")
    w("| count | before (median) | after (median) | largest change in a round | the same half a second later |")
    w("|---|---|---|---|---|")
    names = ("handles", "GDI objects", "heap bytes in use", "heap blocks in use")
    largest = []
    for i, name in enumerate(names):
        b = [float(v) for v in before[i::4]]
        a = [float(v) for v in after[i::4]]
        later = [float(v) for v in settled[i::4]]
        change = max((abs(x - y) for x, y in zip(a, b)), default=float("nan"))
        change_later = max((abs(x - y) for x, y in zip(later, b)), default=float("nan"))
        largest.append(max(change, change_later))
        w("| {} | {:,.0f} | {:,.0f} | {:,.0f} | {:,.0f} |".format(
            name, statistics.median(b), statistics.median(a), change, change_later))
    w("")
    counted = len(before) // 4
    moved = sum(1 for r in range(counted)
                if any(x[4 * r + i] != before[4 * r + i] for x in (after, settled) for i in range(4)))
    if not moved:
        w("Nothing is left behind: every count is the same after the lines as before them, in "
          "every round.\n")
    else:
        w("In {} of {} rounds a count moved between before the lines and after them or half a "
          "second later (at most: {}). {}\n".format(
              moved, counted, ", ".join("{} {:,.0f}".format(n, c) for n, c in zip(names, largest) if c),
              "Nothing moves by one per line: 10,000 lines would move a count by thousands."
              if max(largest[0], largest[1], largest[3]) < 100 else
              "A count moved by 100 or more: look for what the channel keeps."))
    w("Wine's heap walk does not list blocks of 64 KB and more, which Wine keeps apart; the "
      "channel allocates none.\n")

    # ---- size
    w("## Size of everything that ships (i686 unless named)\n")
    w("Command: `{}`; every file of the shipped folder `out/HalvoranInstallWinApp/` (the program, "
      "its companions and the files that ship beside them), then every package and program beside "
      "that folder (`out/*.msi`, `out/*.exe`). For programs `bench/report.py` reads each file's "
      "section table and resource directory: pictures are the bitmap resources; other resources are "
      "the rest of the resource section (icon, dialog template, version, manifest and the directory "
      "itself); code and data are the loaded sections besides the resources (headers, code, data, "
      "unwind tables, imports, relocations); symbols are the debugging sections and the symbol "
      "table. Other files have their bytes alone.\n".format(command))
    w("| file | bytes | pictures | other resources | code and data | symbols | DLLs imported |")
    w("|---|---|---|---|---|---|---|")
    foreign = []
    split = {}

    def row(name, path):
        if not is_pe(path):
            w("| {} | {:,} | | | | | |".format(name, os.path.getsize(path)))
            return
        pe = Pe(path)
        s = pe.split()
        split[name] = s
        dlls = pe.imports()
        foreign.extend((name, d) for d in dlls if d not in SYSTEM_DLLS and not d.startswith("api-ms-win-"))
        w("| {}{} | {:,} | {} | {} | {} | {} | {} |".format(
            name, "" if pe.bits == 32 else " (x86_64)", s["total"], kb(s["pictures"]),
            kb(s["other_resources"]), kb(s["code_data"]), kb(s["debug"]), ", ".join(sorted(dlls))))

    shipped_names = files_under(shipped)
    for name in shipped_names:
        row(name, os.path.join(shipped, name))
    w("| **the shipped folder, {} files** | **{:,}** | | | | | |".format(
        len(shipped_names), sum(os.path.getsize(os.path.join(shipped, n)) for n in shipped_names)))
    beside = os.path.dirname(os.path.abspath(shipped))
    for name in sorted(os.listdir(beside)):
        path = os.path.join(beside, name)
        if name.lower().endswith((".msi", ".exe")) and os.path.isfile(path):
            row("out/" + name, path)
    row("floor, linked lean (bench/floor_dialog.cpp)", floor_i686)
    w("")
    program = split.get("HalvoranInstallWinApp.exe")
    floor_split = split["floor, linked lean (bench/floor_dialog.cpp)"]
    if program:
        non_picture = program["total"] - program["pictures"]
        w("Goal: code and non-picture data well under 100 KB. The program holds {} besides its "
          "pictures ({:.0%} of the goal's 100 KB): **{}**. It is linked with `-s -Wl,--gc-sections` "
          "and its operator new and delete work on the C run-time heap (`app/heap_new.cpp`), which "
          "keeps the standard library's exception machinery, unwinder and name demangler out. "
          "Against the floor linked the same way ({} of code and data: the tool-chain's start-up "
          "code and C run-time glue for a dialog program), the program's code and data are "
          "**{:.2f}** times the floor.\n".format(
              kb(non_picture), non_picture / 102400.0,
              "met" if non_picture < 100 * 1024 else "missed", kb(floor_split["code_data"]),
              program["code_data"] / floor_split["code_data"]))
    w("DLL dependencies beyond the system's own: {}.\n".format(
        "none" if not foreign else ", ".join("{} ({})".format(d, n) for n, d in foreign)))

    # ---- hygiene
    w("## Resource hygiene under repetition\n")
    w("Command: `{}`; `bench/hygiene.cpp`, 15 runs of 1,000 rounds each for every subject, after "
      "10 rounds per subject that are not counted. `FindModemDevice` runs against the fake "
      "remote-access library (tests/fakes, listing the modem), which the benchmark holds loaded: "
      "the fake links its own C++ run-time, which keeps 73 KB per load that unloading never "
      "returns, so each round's bind and release would otherwise measure the fake. "
      "`FindInstalledProduct` reads records that the benchmark writes into its prefix. Each "
      "baseline makes the same platform calls directly (load, resolve, size probe, list, free; "
      "open, read, close).\n".format(command))
    w("| subject | change per run of 1,000 rounds: handles / GDI objects / heap bytes / heap blocks "
      "(largest of 15 runs) | time per round, ratio to its baseline (median) | spread |")
    w("|---|---|---|---|")
    runs = {}
    for (figure, subject), rows_ in fig.items():
        if figure == "hygiene" and subject != "failed_rounds":
            runs[subject] = [[float(v) for v in r] for r in rows_]
    for subject, baseline in (("FindModemDevice", "modem_baseline"),
                              ("FindInstalledProduct", "product_baseline"),
                              ("modem_baseline", None), ("product_baseline", None)):
        rs = runs.get(subject, [])
        if not rs:
            continue
        changes = " / ".join("{:,.0f}".format(max(abs(r[i]) for r in rs)) for i in range(1, 5))
        if baseline:
            m, s = spread(ratios([r[0] for r in rs], [r[0] for r in runs[baseline]]))
        else:
            m, s = "1", ""
        w("| {} | {} | {} | {} |".format(subject, changes, m, s))
    failed = fig.get(("hygiene", "failed_rounds"), [["?"]])[0][0]
    w("\nRounds whose search or lookup did not find what was there: {}.\n".format(failed))
    open(out, "w").write("\n".join(md) + "\n")


if __name__ == "__main__":
    main()
