"""Measures Quennavar against minimal Win32 programs that make the same platform
calls and nothing else, under Wine, and writes the results to a Markdown file.

Times come from Wine's relay trace with timestamps (WINEDEBUG=+timestamp,+relay),
which Wine takes from the same raw monotonic clock this script reads when it
starts a process: "process start" is the moment the script starts Wine's loader.
Only the calls timed are relayed (RelayInclude), so tracing costs both sides
the same. The two sides run alternately, run by run: each run of Quennavar is
paired with the baseline's run beside it, and the ratio of each pair taken,
so that what the machine does meanwhile weighs on both sides of a ratio
alike. The table gives the median of those ratios with a 95 % interval.

    bench.py --exe Quennavar.exe --helpers DIR --close-window close_window.exe
             --map Quennavar.map --out FILE [--runs N]
"""

import argparse
import math
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from wine_harness import WineSession, is_64_bit, low_half  # noqa: E402

RELAYED = ["user32.LockWorkStation", "shell32.Shell_NotifyIconA", "user32.GetMessageA",
           "user32.SetLayeredWindowAttributes"]
TRACE = "+timestamp,+relay"
CALL = re.compile(r"^(\d+\.\d{3}):[0-9a-f]{4}:Call [\w.]+\.(\w+)\(([^)]*)\)")
RETURN = re.compile(r"^(\d+\.\d{3}):[0-9a-f]{4}:Ret  [\w.]+\.(\w+)\(")
NIM_ADD = "00000000"
IDLE_SETTLE = 5.0  # seconds after start before the idle process is measured
# Seconds between runs. Less, and the last run's ending (its address space
# unmapped, the server cleaning up) slows every other start by some 40 ms;
# much more, and the idle machine wakes up slowly and every start takes twice
# as long. Either way the medians would measure the machine, not the programs.
QUIET = 0.25
WAKE_WINDOW = 60.0


def markers(exe):
    """Where the table of that build stands in the file: each build has its own."""
    build = " x64" if is_64_bit(exe) else ""
    return "<!-- bench:begin%s -->" % build, "<!-- bench:end%s -->" % build


def now():
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


class Bench:
    def __init__(self, session, helpers, close_window):
        self.session = session
        self.drive_c = os.path.join(session.prefix, "drive_c")
        for name in ("baseline_lock.exe", "baseline_tray.exe"):
            shutil.copy(os.path.join(helpers, name), os.path.join(self.drive_c, name))
        shutil.copy(close_window, os.path.join(self.drive_c, "close_window.exe"))
        self.quennavar = session.install()
        self.baseline_lock = "C:\\baseline_lock.exe"
        self.baseline_tray = "C:\\baseline_tray.exe"

    # --- one run

    def launch(self, program, args=()):
        """Starts a traced process; returns (process, trace path, start time)."""
        time.sleep(QUIET)
        started = now()
        process, trace, path = self.session.launch(program, list(args), debug=TRACE)
        trace.close()  # the child has its own copy
        return process, path, started

    @staticmethod
    def calls(path):
        """(time, name, arguments) of every relayed call, and (time, name) of returns."""
        calls, returns = [], []
        with open(path, "r", encoding="latin-1") as f:
            for line in f:
                if m := CALL.match(line):
                    # The timed calls take numbers alone: read by their low 32 bits.
                    args = ",".join(low_half(a) for a in m.group(3).split(","))
                    calls.append((float(m.group(1)), m.group(2), args))
                elif m := RETURN.match(line):
                    returns.append((float(m.group(1)), m.group(2)))
        return calls, returns

    def first_call(self, path, name, first_argument=None, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for at, called, args in self.calls(path)[0]:
                if called == name and (first_argument is None or args.startswith(first_argument)):
                    return at
            time.sleep(0.02)
        raise TimeoutError("%s was not called" % name)

    def close(self, process, path, window_class):
        """Ends a tray program through its window, as its own Exit would."""
        self.session._wine(["C:\\close_window.exe", window_class])
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        os.remove(path)

    # --- the measures

    def lock_latency(self, program, args):
        process, path, started = self.launch(program, args)
        process.wait(timeout=60)
        at = self.first_call(path, "LockWorkStation", timeout=1)
        os.remove(path)
        return (at - started) * 1000

    def tray_start(self, program, window_class):
        """Start to NIM_ADD in ms, and the resident memory in KiB once idle."""
        process, path, started = self.launch(program)
        added = self.first_call(path, "Shell_NotifyIconA", NIM_ADD)
        time.sleep(max(0.0, started + IDLE_SETTLE - now()))
        rss = resident_kib(process.pid)
        self.close(process, path, window_class)
        return (added - started) * 1000, rss

    def wake_ups(self, runs):
        """GetMessageA returns in a minute of idleness, every program at once."""
        started = [(name, *self.launch(program)[:2], window_class)
                   for name, program, window_class in runs]
        time.sleep(IDLE_SETTLE + WAKE_WINDOW + 5)  # the last one's minute is over too
        counts = {}
        for name, process, path, window_class in started:
            calls, returns = self.calls(path)
            added = [at for at, called, _ in calls if called == "Shell_NotifyIconA"]
            if not added:
                raise RuntimeError("%s added no tray icon" % name)
            begin = added[0] + IDLE_SETTLE
            counts[name] = sum(1 for at, called in returns
                               if called == "GetMessageA" and begin <= at < begin + WAKE_WINDOW)
            self.close(process, path, window_class)
        return counts

    def fade_in(self):
        """Opened by a double-click on the icon: ms from the fade's first step
        (opacity 0) to its last (255), and the number of steps."""
        process, path, _ = self.launch(self.quennavar)
        self.first_call(path, "Shell_NotifyIconA", NIM_ADD)
        time.sleep(1)
        self.session.double_click_tray_icon()
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            steps = [(at, args) for at, called, args in self.calls(path)[0]
                     if called == "SetLayeredWindowAttributes"]
            ends = [i for i, (_, args) in enumerate(steps) if args.split(",")[2] == "000000ff"]
            starts = [i for i, (_, args) in enumerate(steps) if args.split(",")[2] == "00000000"]
            if starts and ends and ends[-1] > starts[-1]:
                break
            time.sleep(0.1)
        else:
            raise TimeoutError("the window did not fade in")
        first = starts[-1]
        last = ends[-1]
        self.close(process, path, "QuennavarWindow")
        return (steps[last][0] - steps[first][0]) * 1000, last - first + 1


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS for %d" % pid)


def alternate(runs, first, second):
    """Runs the two sides in turn, each starting every other round; their results."""
    results = ([], [])
    for i in range(runs):
        order = (0, 1) if i % 2 == 0 else (1, 0)
        for side in order:
            results[side].append((first, second)[side]())
    return results


def later_time():
    """A time of day six hours away, in the stored form, so the timer never fires."""
    t = time.localtime(time.time() + 6 * 3600)
    return "%d:%02d:00 %s" % ((t.tm_hour + 11) % 12 + 1, t.tm_min, "AM" if t.tm_hour < 12 else "PM")


# --- where the bytes go

COMPONENTS = [
    ("Quennavar's own code and data",
     lambda o: "libquennavar_logic" in o or "Quennavar.dir" in o and not o.endswith(".res")),
    ("Resources (icons, menu pictures, messages, version)", lambda o: o.endswith(".res")),
    ("Exception unwinder (libgcc_eh)", lambda o: "libgcc_eh" in o),
    ("C++ runtime (exceptions, type information, allocation)", lambda o: "libstdc++" in o),
    ("C runtime start-up and helpers (mingw, libgcc)", lambda o: True),
]
REMAINDER = "Headers, import tables, relocations, section alignment"


def bytes_by_component(map_path, file_size):
    """Bytes of the program file by where they come from: the sections the
    linker kept, from its map; what it made itself is the remainder."""
    sizes = {name: 0 for name, _ in COMPONENTS}
    section = None
    with open(map_path, encoding="latin-1") as f:
        for line in f:
            m = re.match(r"^ (\.[\w$.]+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S+)", line)
            if not m:
                alone = re.match(r"^ (\.[\w$.]+)\s*$", line)
                if alone:  # a long section name: its numbers are on the next line
                    section = alone.group(1)
                    continue
                m2 = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S+)", line)
                if not (m2 and section):
                    section = None
                    continue
                name, address, size, origin = section, *m2.groups()
                section = None
            else:
                name, address, size, origin = m.groups()
            if int(address, 16) == 0 or name.startswith((".debug", ".bss", ".idata")):
                continue  # dropped by the linker, not in the file, or import tables
            for component, belongs in COMPONENTS:
                if belongs(origin):
                    sizes[component] += int(size, 16)
                    break
    sizes[REMAINDER] = file_size - sum(sizes.values())
    return sizes


# --- the report

def machine(session):
    cpu = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        memory = int(f.readline().split()[1]) // (1024 * 1024)
    release = "unknown"
    if os.path.exists("/etc/os-release"):
        with open("/etc/os-release") as f:
            for line in f:
                if line.startswith("PRETTY_NAME="):
                    release = line.split("=", 1)[1].strip().strip('"')
    wine = subprocess.run([session.wine, "--version"], capture_output=True,
                          text=True).stdout.strip()
    prefix = "64-bit prefix, Windows XP reported" if session.arch == "win64" else \
        "32-bit prefix, Windows XP"
    return ("%s, %d cores, %d GiB; %s, Linux %s; %s (%s), Xvfb"
            % (cpu, os.cpu_count(), memory, release, platform.release(), wine, prefix))


def median_interval(values, confidence=0.95):
    """The median of the values and an interval that holds the true median
    with at least that confidence, from the order statistics alone: the
    k-th smallest and the k-th largest value, for the largest k whose tails
    of the binomial distribution B(n, 1/2) together stay within
    1 - confidence. Assumes nothing of the values' distribution."""
    ordered = sorted(values)
    n = len(ordered)
    k, tail = 0, 0.0
    while k < n // 2:
        tail_next = tail + math.comb(n, k) / 2 ** n
        if 2 * tail_next > 1 - confidence:
            break
        k, tail = k + 1, tail_next
    if k == 0:
        raise ValueError("%d values are too few for a %.0f %% interval" % (n, 100 * confidence))
    return statistics.median(ordered), ordered[k - 1], ordered[n - k]


def verdict(interval, target):
    """Within the target only where the whole interval is."""
    _, low, high = interval
    return "yes" if high <= target else ("**no**" if low > target else "not shown")


def ratio_row(measure, unit, ours, theirs, target):
    """Medians of each side, with the fastest and slowest run in brackets, and
    the median of the paired ratios with its 95 % interval."""
    q, b = statistics.median(ours), statistics.median(theirs)
    ratio = median_interval([o / t for o, t in zip(ours, theirs)])
    side = "%.1f %s (%.1f–%.1f)"
    return ("| %s | " + side + " | " + side + " | %.2f× (%.2f–%.2f) | ≤ %.2f× | %s |") % (
        measure, q, unit, min(ours), max(ours), b, unit, min(theirs), max(theirs), *ratio, target,
        verdict(ratio, target))


def report(results, runs, begin, end):
    size = results["size"]
    wake = results["wake"]
    fade_ms, fade_steps = results["fade"]
    lines = [
        begin,
        "Measured %s on: %s." % (time.strftime("%Y-%m-%d"), results["machine"]),
        "",
        "Medians of %d runs a side, the two sides alternating run by run; the fastest and "
        "slowest run in brackets. The ratio is the median of the %d paired ratios, each run "
        "against the baseline's run beside it, with its 95 %% interval in brackets; a target is "
        "met where the whole interval is within it." % (runs, runs),
        "",
        "| Measure | Quennavar | Baseline | Ratio | Target | Met |",
        "|---|---|---|---|---|---|",
        ratio_row("a. `/lock`: process start to `LockWorkStation`", "ms",
                  *results["lock"], 1.10),
        ratio_row("b. Tray: process start to `Shell_NotifyIconA(NIM_ADD)`", "ms",
                  *results["tray_start"], 1.10),
        ratio_row("c. Idle tray process, resident memory after %d s" % IDLE_SETTLE, "KiB",
                  *results["rss"], 1.10),
        "",
        "| Measure | Quennavar | Baseline | Target | Met |",
        "|---|---|---|---|---|",
        "| d. Wake-ups of the idle tray process in a minute, daily timer off | %d | %d | 0 | %s |"
        % (wake["off"], wake["baseline"], "yes" if wake["off"] == 0 else "**no**"),
        "| d. Wake-ups of the idle tray process in a minute, daily timer on | %d | — | 6 | %s |"
        % (wake["on"], "yes" if wake["on"] == 6 else "**no**"),
        "| e. Fade-in on the virtual desktop, %d steps (median of %d) | %.0f ms | — | — | — |"
        % (fade_steps, len(results["fade_runs"]), fade_ms),
        "| f. Size of `Quennavar.exe` | %d bytes (%.1f KiB) | %d bytes | ≤ 128 KiB, or ≤ 192 KiB "
        "explained | %s |" % (size, size / 1024, results["baseline_size"],
                              "yes" if size <= 128 * 1024 else
                              ("under 192 KiB" if size <= 192 * 1024 else "**no**")),
        "",
        "Where the bytes of `Quennavar.exe` go (sections kept by the linker, from its map):",
        "",
        "| Part | Bytes |",
        "|---|---|",
    ]
    for part, count in results["bytes"].items():
        lines.append("| %s | %d |" % (part, count))
    lines += ["", end]
    return "\n".join(lines) + "\n"


def write_report(path, table, begin, end):
    """Replaces the build's measured part of the file, keeping the prose and
    the other build's part around it; a build measured first is added."""
    text = ""
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            text = f.read()
    if begin in text and end in text:
        text = text[:text.index(begin)] + table + text[text.index(end) + len(end) + 1:]
    else:
        text = (text or "# Performance\n") + "\n" + table
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--helpers", required=True, help="the folder of the baseline programs")
    parser.add_argument("--close-window", required=True, help="close_window.exe of the build")
    parser.add_argument("--map", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--runs", type=int, default=20)
    options = parser.parse_args()
    if options.runs < 6:
        parser.error("--runs: at least 6, for a 95 %% interval of the paired ratios")

    results = {"size": os.path.getsize(options.exe),
               "baseline_size": os.path.getsize(os.path.join(options.helpers, "baseline_tray.exe")),
               "bytes": bytes_by_component(options.map, os.path.getsize(options.exe))}
    with WineSession(options.exe, desktop=True) as session:
        results["machine"] = machine(session)
        session.reg_add(r"HKCU\Software\Wine\Debug", {"RelayInclude": ";".join(RELAYED)})
        bench = Bench(session, options.helpers, options.close_window)
        session.start_session()
        # Warm up: the desktop, its taskbar and the disk cache are there before any run.
        bench.lock_latency(bench.baseline_lock, [])
        bench.lock_latency(bench.quennavar, ["/lock"])
        bench.tray_start(bench.baseline_tray, "BaselineTray")
        bench.tray_start(bench.quennavar, "QuennavarWindow")

        print("a. /lock", flush=True)
        results["lock"] = alternate(options.runs,
                                    lambda: bench.lock_latency(bench.quennavar, ["/lock"]),
                                    lambda: bench.lock_latency(bench.baseline_lock, []))
        print("b, c. tray start and idle memory", flush=True)
        ours, theirs = alternate(options.runs,
                                 lambda: bench.tray_start(bench.quennavar, "QuennavarWindow"),
                                 lambda: bench.tray_start(bench.baseline_tray, "BaselineTray"))
        results["tray_start"] = ([t for t, _ in ours], [t for t, _ in theirs])
        results["rss"] = ([r for _, r in ours], [r for _, r in theirs])

        print("d. wake-ups", flush=True)
        timer_on = session.install("TimerOn")
        session.write_settings(bench.quennavar, TimerEnable="No")
        session.write_settings(timer_on, TimerEnable="Yes", Action="Lock", Time=later_time())
        results["wake"] = bench.wake_ups([("off", bench.quennavar, "QuennavarWindow"),
                                          ("on", timer_on, "QuennavarWindow"),
                                          ("baseline", bench.baseline_tray, "BaselineTray")])

        print("e. fade-in", flush=True)
        os.remove(session.settings_path(bench.quennavar))
        results["fade_runs"] = [bench.fade_in() for _ in range(5)]
        results["fade"] = (statistics.median(ms for ms, _ in results["fade_runs"]),
                           results["fade_runs"][0][1])

    begin, end = markers(options.exe)
    table = report(results, options.runs, begin, end)
    write_report(options.out, table, begin, end)
    print(table)


if __name__ == "__main__":
    main()
