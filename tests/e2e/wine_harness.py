"""Runs the real Quennavar.exe under Wine and reads back what reached the system.

Every session owns its temporary folder: the Wine prefix, the X display and
the processes it starts live and die with it, and are ended by their own
process ids or by `wineserver -k` on that prefix, never by name.
"""

import ast
import os
import re
import shutil
import signal
import struct
import subprocess
import tempfile
import time
from dataclasses import dataclass, field

# A 32-bit trace prints every number in 8 hex digits, a 64-bit one in 8 or more.
CALL = re.compile(r"^([0-9a-f]{4}):Call ([\w.]+)\.(\w+)\((.*)\) ret=([0-9a-f]{8,16})$")
RETURN = re.compile(
    r"^([0-9a-f]{4}):Ret  ([\w.]+)\.(\w+)\(\) retval=([0-9a-f]{8,16}) ret=([0-9a-f]{8,16})$")
EVENT_TEXT = re.compile(r'^([0-9a-f]{4}):\w+:eventlog:ReportEventW L"(.*)"$')
# The due time as the program set it: relative ("+1800.0000000"), zero, or
# absolute in hexadecimal. Behind an absolute one the server adds how far it
# lies from its own clock at that moment, which differs run by run: left out.
TIMER = re.compile(r"^([0-9a-f]{4}): set_timer\( handle=\w+, expire=([^ ,]+)[ ,]")
THREAD = re.compile(r"^([0-9a-f]{4}):")
# Wine writes its relay and server traces through separate buffers, so one
# trace line can start in the middle of another: split them apart again.
GLUED_LINE = re.compile(r"(?<=[^\n])(?=[0-9a-f]{4}:(?:Call |Ret | |trace:|err:|warn:|fixme:))")


def optional_header(exe):
    """The PE optional header's start and the first 4 KiB of the file."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    return struct.unpack_from("<I", data, 0x3C)[0] + 24, data


def is_64_bit(exe):
    """Whether the program file is a 64-bit (PE32+) one."""
    optional, data = optional_header(exe)
    return struct.unpack_from("<H", data, optional)[0] == 0x20B


def image_range(exe):
    """The addresses the program's own code is loaded at (it is never relocated)."""
    optional, data = optional_header(exe)
    if is_64_bit(exe):
        image_base = struct.unpack_from("<Q", data, optional + 24)[0]
    else:
        image_base = struct.unpack_from("<I", data, optional + 28)[0]
    size_of_image = struct.unpack_from("<I", data, optional + 56)[0]
    return image_base, image_base + size_of_image


def program_under_test():
    """The program file the suites run: QUENNAVAR_EXE, else the 32-bit build.
    Which build it is follows from the file."""
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    return os.path.abspath(os.environ.get("QUENNAVAR_EXE")
                           or os.path.join(root, "build", "windows", "Quennavar.exe"))


def program_is_64_bit():
    exe = program_under_test()
    return os.path.isfile(exe) and is_64_bit(exe)


def low_half(number):
    """A number as the 32-bit trace prints it. A 64-bit trace prints whole
    registers and stack slots, and the upper half of one that holds a 32-bit
    argument or result is whatever was there before: `100000001` for 1."""
    return "%08x" % (int(number, 16) & 0xFFFFFFFF) if re.fullmatch(r"[0-9a-f]{9,16}", number) \
        else number


@dataclass
class Call:
    dll: str
    name: str
    args: list  # numbers by their low 32 bits; raw_args as the trace printed them
    result: int = None  # by its low 32 bits
    raw_args: list = None

    def __str__(self):
        return f"{self.dll}.{self.name}({','.join(self.args)})"

    def numbers(self):
        """The arguments that are numbers, strings left out."""
        return [int(a, 16) for a in self.args if not a.startswith('"')]


@dataclass
class Record:
    type: int
    id: int
    text: str


@dataclass
class Run:
    exit_code: int
    calls: list = field(default_factory=list)   # made by the program's own code
    records: list = field(default_factory=list)
    timers: list = field(default_factory=list)  # expiry of each waitable timer set
    trace: str = ""

    def names(self):
        return [c.name for c in self.calls]

    def find(self, name):
        return [c for c in self.calls if c.name == name]

    def effects(self):
        """What the program asked of the system, in order, as relay text."""
        wanted = {"ExitWindowsEx", "LockWorkStation", "SetWaitableTimer", "SetSuspendState",
                  "ReportEventA", "MessageBoxA"}
        return [str(c) for c in self.calls if c.name in wanted]


def relay_text(arg):
    """The text of a string argument as the relay trace quotes it, its bytes
    outside ASCII written as \\x escapes, decoded as UTF-8."""
    return ast.literal_eval("b" + arg).decode("utf-8")


def split_args(text):
    """Splits relay arguments at top-level commas (strings may hold commas)."""
    args, current, quoted, escaped = [], "", False, False
    for ch in text:
        if quoted:
            current += ch
            if escaped:
                escaped = False
            elif ch == "\\":
                escaped = True
            elif ch == '"':
                quoted = False
        elif ch == '"':
            quoted = True
            current += ch
        elif ch == ",":
            args.append(current)
            current = ""
        else:
            current += ch
    if current or args:
        args.append(current)
    # A string argument shows as its address and its text: keep the text.
    return [re.sub(r'^[0-9a-f]{8,16} (?=L?")', "", arg) for arg in args]


class TraceReader:
    """The program's own calls and records, from relay trace text fed in whole
    lines: all at once, or bit by bit as the program writes it."""

    def __init__(self, exe):
        self.low, self.high = image_range(exe)
        self.thread = None
        self.calls, self.records = [], []
        self.open_calls = []  # calls of the program not yet returned; window procedures nest them
        self.pending_event = None

    def feed(self, text):
        for line in GLUED_LINE.sub("\n", text).splitlines():
            if self.thread is None:
                # The program's thread speaks first; processes it starts come later.
                m = THREAD.match(line)
                self.thread = m.group(1) if m else None
            if self.thread and not line.startswith(self.thread + ":"):
                continue
            m = CALL.match(line)
            if m:
                ret = int(m.group(5), 16)
                if self.low <= ret < self.high:
                    raw = split_args(m.group(4))
                    call = Call(m.group(2), m.group(3), [low_half(a) for a in raw], raw_args=raw)
                    self.calls.append(call)
                    self.open_calls.append((call, m.group(5)))
                    if call.name == "ReportEventA":
                        self.pending_event = Record(int(call.args[1], 16), int(call.args[3], 16),
                                                    None)
                        self.records.append(self.pending_event)
                continue
            m = RETURN.match(line)
            if m:
                for i in range(len(self.open_calls) - 1, -1, -1):
                    call, ret = self.open_calls[i]
                    if call.name == m.group(3) and ret == m.group(5):
                        call.result = int(m.group(4), 16) & 0xFFFFFFFF
                        del self.open_calls[i:]
                        break
                continue
            m = EVENT_TEXT.match(line)
            if m and self.pending_event is not None and self.pending_event.text is None:
                self.pending_event.text = m.group(2)


def parse_trace(trace, server_trace, exe):
    reader = TraceReader(exe)
    reader.feed(trace)
    timers = []
    for line in GLUED_LINE.sub("\n", server_trace).splitlines():
        m = TIMER.match(line)
        if m and m.group(1) == reader.thread:
            timers.append(m.group(2))
    return reader.calls, reader.records, timers


class LiveTrace:
    """The trace file of a program still running, read as far as it is written."""

    def __init__(self, path, exe):
        self.path = path
        self.reader = TraceReader(exe)
        self.offset = 0
        self.partial = ""  # a line not yet ended

    def calls(self):
        with open(self.path, "rb") as f:
            f.seek(self.offset)
            data = f.read()
        self.offset += len(data)
        complete, _, self.partial = (self.partial + data.decode("latin-1")).rpartition("\n")
        self.reader.feed(complete)
        return self.reader.calls


def wait_until(condition, timeout, interval=0.1, message="the condition did not come true"):
    """Polls condition until it returns something true, and returns that. On
    timeout raises AssertionError with message: text, or a function giving it,
    called then, so that it can tell what there was instead."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("%s (waited %g s)" % (message() if callable(message) else message,
                                                       timeout))
        time.sleep(interval)


def called(name, times=1, returned=False):
    """A condition on the program's calls: name called `times` times, that call
    returned too if asked."""
    def condition(calls):
        found = [c for c in calls if c.name == name]
        return len(found) >= times and (not returned or found[times - 1].result is not None)
    return condition


def in_message_loop(calls):
    """The program added its tray icon and then went on to wait for messages."""
    added = [i for i, c in enumerate(calls)
             if c.name == "Shell_NotifyIconA" and c.args[:1] == ["00000000"]]
    return bool(added) and any(c.name == "GetMessageA" for c in calls[added[0] + 1:])


def settings_form(calls):
    """The settings window's handle: the program's one window with a caption."""
    created = [c for c in calls if c.name == "CreateWindowExA" and c.numbers()[1] & 0x00C00000]
    return created[0].result if created else None


def settings_shown(calls):
    """The settings window is shown and, where it fades in, the fade is over."""
    form = settings_form(calls)
    shows = [c for c in calls if c.name == "ShowWindow" and c.numbers()[:1] == [form]]
    opacity = [c for c in calls if c.name == "SetLayeredWindowAttributes"
               and c.numbers()[:1] == [form]]
    opaque = not opacity or (opacity[-1].numbers()[2] == 255 and opacity[-1].result is not None)
    return (form is not None and bool(shows) and shows[-1].numbers()[1] != 0
            and shows[-1].result is not None and opaque)


def settings_hidden(calls):
    form = settings_form(calls)
    shows = [c for c in calls if c.name == "ShowWindow" and c.numbers()[:1] == [form]]
    return bool(shows) and shows[-1].numbers()[1] == 0 and shows[-1].result is not None


# Wine's own modules, its default list among them. With relay_program_only
# the calls they make are left out of the relay trace: only the program's own
# calls are read from it, and the rest made a tray run's trace twenty times
# larger, and slow to write and to read.
WINE_MODULES = ["ntdll", "kernelbase", "kernel32", "msvcrt", "ucrtbase", "sechost", "advapi32",
                "version", "win32u", "user32", "imm32", "gdi32", "winex11.drv", "winemac.drv",
                "uxtheme", "shcore", "shlwapi", "shell32", "combase", "ole32", "oleaut32",
                "rpcrt4", "actxprxy", "comctl32", "powrprof", "explorer.exe"]

# What a menu tells its owner when an item is selected, and the tray menu's
# first and last items ("Logoff", "Exit").
WM_MENUSELECT = 0x11F
MENU_FIRST_ITEM, MENU_LAST_ITEM = 101, 112

# The notification area's first icon on the 1024 x 768 virtual desktop.
TRAY_ICON = (1013, 757)


def own_lineage():
    """This process and its ancestors' ids."""
    pids, pid = set(), os.getpid()
    while pid > 1 and pid not in pids:
        pids.add(pid)
        with open("/proc/%d/status" % pid) as status:
            pid = next(int(line.split()[1]) for line in status if line.startswith("PPid:"))
    return pids


def prefix_processes(prefix):
    """Ids of the processes whose environment names this Wine prefix, but for
    this process and its ancestors (a script that set the prefix for its own
    children)."""
    mark = ("WINEPREFIX=" + prefix).encode()
    own = own_lineage()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        if int(pid) in own:
            continue
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if mark in f.read().split(b"\0"):
                    yield int(pid)
        except OSError:
            pass  # gone meanwhile, or not ours to read


# Debian's `wine` starts Wine's 32-bit loader first, even for a 64-bit
# program, and that loader does not start where the kernel runs no 32-bit
# programs: 64-bit prefixes and programs are started with the 64-bit one.
WINE64 = "/usr/lib/wine/wine64"

# The versions winecfg offers in 32-bit prefixes only. Wine reads the version
# a prefix reports from this value, in 64-bit prefixes too.
WINECFG_32_BIT_ONLY = {"win98", "nt40", "win2k", "winxp"}
VERSION_KEY = r"HKCU\Software\Wine"

# Debian's Wine looks for its own fonts beside its data folder, where Debian
# does not put them: without them Marlett is missing, and every caption
# button is drawn as a letter. Windows keeps them in its Fonts folder.
WINE_FONTS = "/usr/share/wine/fonts"


def install_wine_fonts(prefix):
    fonts = os.path.join(prefix, "drive_c", "windows", "Fonts")
    if os.path.isdir(WINE_FONTS) and os.path.isdir(fonts):
        for name in os.listdir(WINE_FONTS):
            if not os.path.exists(os.path.join(fonts, name)):
                shutil.copy(os.path.join(WINE_FONTS, name), fonts)


class WineSession:
    """A Wine prefix of its own with its own X display: 32-bit ("win32"), or
    64-bit ("win64"), where the 32-bit program runs under WoW64. A 64-bit
    program file runs in a 64-bit prefix whatever arch says.

    display: True for an Xvfb of the session's own, False for none, "caller"
    for the caller's DISPLAY. monitors: with display True, a desktop of several
    monitors, the primary first: Xephyr's screens, each "WIDTHxHEIGHT+X+Y",
    the place of its window on the Xvfb that holds them. Wine lays the
    monitors out again, side by side from the primary's right edge.
    prefix: a prefix made before, already reporting `version`, to use as it
    is; it outlives the session."""

    def __init__(self, exe, version="winxp", display=True, desktop=False, arch="win32",
                 relay_program_only=False, prefix=None, monitors=None):
        self.exe = os.path.abspath(exe)
        if is_64_bit(self.exe):
            arch = "win64"
        self.arch = arch
        # Starts the program and Wine's own programs. For the 32-bit program
        # `wine` as ever, in 64-bit prefixes too.
        self.wine = WINE64 if is_64_bit(self.exe) else "wine"
        self.root = tempfile.mkdtemp(prefix="quennavar-e2e-")
        self.prefix = prefix or os.path.join(self.root, "prefix")
        self.version = version if prefix else None
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEARCH=arch,
                        WINEDEBUG="-all", WINEDLLOVERRIDES="winemenubuilder.exe=d",
                        LANG="C.UTF-8", LC_ALL="C.UTF-8")
        if display != "caller":
            self.env.pop("DISPLAY", None)
        self.x_servers = []  # the display's, the one Wine draws on last
        self.desktop = desktop
        self.server = None
        self.server_log = None
        self.live = {}  # trace path: LiveTrace, of the programs still running
        self.right_clicks = 0
        try:
            if display is True:
                self._start_display(monitors)
            if not prefix:
                self._wine(["wineboot", "--init"], timeout=300)
                install_wine_fonts(self.prefix)
            if monitors:
                # Xvfb has no way to place its screens side by side; Xephyr,
                # inside it, has, and tells them apart by Xinerama, which Wine
                # reads only where it does not use RandR.
                self.reg_add(r"HKCU\Software\Wine\X11 Driver", {"UseXRandR": "N"})
            if desktop:
                # Every program of the prefix runs in one virtual desktop with a
                # taskbar and a notification area, as on Windows.
                self.reg_add(r"HKCU\Software\Wine\Explorer", {"Desktop": "Default"})
                self.reg_add(r"HKCU\Software\Wine\Explorer\Desktops", {"Default": "1024x768"})
            if relay_program_only:
                self.reg_add(r"HKCU\Software\Wine\Debug",
                             {"RelayFromExclude": ";".join(WINE_MODULES)})
            self.set_version(version)
        except BaseException:
            self.close()
            raise

    # --- set-up and tear-down

    def _start_display(self, monitors=None):
        # -noreset: the root window's properties (the work area a suite sets)
        # outlive the client that set them.
        self._start_x_server(["Xvfb", "-screen", "0", "1024x768x24" if not monitors else
                              "%dx%dx24" % self._desktop_size(monitors)])
        if monitors:
            screens = [option for screen in monitors for option in ("-screen", screen)]
            self._start_x_server(["Xephyr"] + screens + ["+xinerama"])

    @staticmethod
    def _desktop_size(monitors):
        edges = [re.match(r"(\d+)x(\d+)\+(\d+)\+(\d+)$", m).groups() for m in monitors]
        return (max(int(w) + int(x) for w, _, x, _ in edges),
                max(int(h) + int(y) for _, h, _, y in edges))

    def _start_x_server(self, command):
        """Starts an X server on the session's display (a nested one inside
        it) and makes it the session's display."""
        read_end, write_end = os.pipe()
        # Not the prefix's environment: the session's end would take the
        # server for one of the prefix's stragglers.
        env = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
        if "DISPLAY" in self.env:
            env["DISPLAY"] = self.env["DISPLAY"]
        self.x_servers.append(subprocess.Popen(
            command + ["-displayfd", str(write_end), "-noreset", "-nolisten", "tcp"],
            pass_fds=[write_end], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("%s did not start" % command[0])
                number += chunk
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def _wine(self, args, timeout=120, debug="-all"):
        """Runs a Wine command; returns its output. Files, not pipes: the
        session's services inherit them and would hold a pipe open."""
        env = dict(self.env, WINEDEBUG=debug)
        with tempfile.TemporaryFile(dir=self.root) as out:
            subprocess.run([self.wine] + args, env=env, cwd=self.root, stdout=out,
                           stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=timeout)
            out.seek(0)
            return out.read().decode("cp437")  # console programs write the OEM code page

    def start_session(self):
        """Starts a fresh Wine session up front, so a traced run sees only the
        program, and nothing left over from an earlier run's end of session
        can reach it. The server writes the +server trace of traced clients
        to its own log."""
        self.stop_session()
        self.right_clicks = 0
        self.server_log = os.path.join(self.root, "server-%d.log" % time.monotonic_ns())
        with open(self.server_log, "wb") as log:
            self.server = subprocess.Popen(["wineserver", "-f", "-p"], env=self.env,
                                           stdout=subprocess.DEVNULL, stderr=log)
        self._wine(["wineboot"], timeout=300)
        if self.desktop:
            # The virtual desktop comes up with the first window a program
            # makes, and Wine waits for it only so long: on a loaded machine
            # that window failed, with no error, for want of a desktop. Up
            # first, it is there for every program.
            subprocess.Popen([self.wine, "explorer", "/desktop=Default,1024x768"], env=self.env,
                             cwd=self.root, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
            wait_until(lambda: self.xdotool("search", "--name", "Wine desktop", check=False),
                       120, 0.2, "the virtual desktop did not come up")

    def set_version(self, version):
        """The Windows version the prefix reports; nothing to do when it already does."""
        if version == self.version:
            return
        if self.arch == "win64" and version in WINECFG_32_BIT_ONLY:
            self.reg_add(VERSION_KEY, {"Version": version})
        else:
            self.stop_session()
            self._wine(["winecfg", "-v", version], timeout=300)
            self.stop_session()
        self.version = version

    def stop_session(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        if self.server is not None:
            try:
                self.server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.server.kill()
            self.server = None
        self._end_stragglers()

    def _end_stragglers(self):
        """Ends, by process id, what is left of this prefix's processes. One
        still starting when the server is killed (the desktop the program
        has just asked for) has not connected to it, escapes `wineserver -k`
        and would wait forever. The prefix in its environment makes it ours."""
        for pid in prefix_processes(self.prefix):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass  # gone meanwhile

    def close(self):
        try:
            self.stop_session()
        finally:
            for server in reversed(self.x_servers):
                server.terminate()
                try:
                    server.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    server.kill()
                    server.wait()
            shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # --- running the program

    def install(self, folder_name="Quennavar", file_name="Quennavar.exe"):
        """Copies the program into a folder of the prefix's drive C and returns its Windows path."""
        folder = os.path.join(self.prefix, "drive_c", folder_name)
        os.makedirs(folder, exist_ok=True)
        shutil.copy(self.exe, os.path.join(folder, file_name))
        return "C:\\" + folder_name.replace("/", "\\") + "\\" + file_name

    def unix_path(self, windows_path):
        """Where a path on drive C or another drive of the prefix lies."""
        drive = windows_path[:2].lower()
        root = os.path.join(self.prefix, "drive_c" if drive == "c:" else os.path.join(
            "dosdevices", drive))
        return os.path.join(root, *windows_path[3:].split("\\"))

    def start(self, program, args, debug="+relay,+eventlog,+server"):
        """Starts the program with a trace; returns the process and the trace file."""
        self.start_session()
        return self.launch(program, args, debug)

    def launch(self, program, args, debug="+relay,+eventlog,+server"):
        """Starts the program in the session already running."""
        trace_path = os.path.join(self.root, "trace-%d.txt" % time.monotonic_ns())
        trace = open(trace_path, "wb")
        env = dict(self.env, WINEDEBUG=debug)
        process = subprocess.Popen([self.wine, self.unix_path(program)] + list(args), env=env,
                                   cwd=self.root, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=trace)
        return process, trace, trace_path

    def finish(self, program, process, trace, trace_path, timeout=120):
        try:
            exit_code = process.wait(timeout=timeout)
        finally:
            trace.close()
            self.live.pop(trace_path, None)
        with open(trace_path, "r", encoding="latin-1") as f:
            text = f.read()
        os.remove(trace_path)
        self.stop_session()
        server_text = ""
        if self.server_log and os.path.exists(self.server_log):
            with open(self.server_log, "r", encoding="latin-1") as f:
                server_text = f.read()
            os.remove(self.server_log)
        calls, records, timers = parse_trace(text, server_text, self.unix_path(program))
        return Run(exit_code, calls, records, timers, text)

    def run_raw(self, program, command_line, timeout=120, debug="+relay,+eventlog,+server"):
        """Runs the program with a command line passed as typed, quotes and
        all: Wine would escape the quotes of separate arguments. The shell
        between is not traced; it hands the trace setting to the program."""
        self.start_session()
        trace_path = os.path.join(self.root, "trace-%d.txt" % time.monotonic_ns())
        trace = open(trace_path, "wb")
        # A batch file keeps the command line exactly as written.
        with open(os.path.join(self.prefix, "drive_c", "run.bat"), "w", newline="\r\n",
                  encoding="latin-1") as batch:
            batch.write('@set WINEDEBUG=%s\n@"%s" %s\n' % (debug, program, command_line))
        process = subprocess.Popen([self.wine, "cmd", "/c", "C:\\run.bat"], env=self.env,
                                   cwd=self.root, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=trace)
        return self.finish(program, process, trace, trace_path, timeout)

    def run(self, program, args, timeout=120, debug="+relay,+eventlog,+server"):
        process, trace, path = self.start(program, args, debug)
        return self.finish(program, process, trace, path, timeout)

    def reg_query(self, key, value):
        """The data of a registry value, or None where it is missing."""
        self.start_session()
        for line in self._wine(["reg", "query", key, "/v", value]).splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) == 3 and parts[0] == value:
                return parts[2]
        return None

    def reg_add(self, key, values, kind="REG_SZ"):
        """Sets values of one type under a key: {name: data}."""
        self.start_session()
        for name, data in values.items():
            self._wine(["reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f"])
        self.stop_session()  # the server writes the registry out when it ends

    def reg_delete(self, key):
        self.start_session()
        self._wine(["reg", "delete", key, "/f"])

    # --- the program's settings

    def settings_path(self, program):
        return os.path.join(os.path.dirname(self.unix_path(program)), "quennavar.ini")

    def write_settings(self, program, **values):
        with open(self.settings_path(program), "w", newline="\r\n") as f:
            f.write("[Settings]\n" + "".join("%s=%s\n" % kv for kv in values.items()))

    # --- a program running: its calls so far

    def calls_so_far(self, started):
        """The program's own calls up to now; started is what launch() returned."""
        path = started[2]
        if path not in self.live:
            self.live[path] = LiveTrace(path, self.exe)
        return self.live[path].calls()

    def wait_for_calls(self, started, condition, what, timeout=30):
        """Waits until condition(the program's calls so far) holds; on timeout
        the failure names what was awaited and the program's last calls."""
        def instead():
            calls = self.calls_so_far(started)
            return "%s: not seen in %d calls, the last %s" % (
                what, len(calls), [str(c) for c in calls[-25:]])
        return wait_until(lambda: condition(self.calls_so_far(started)), timeout, message=instead)

    def launch_in_tray(self, program, debug="+relay,+eventlog,+server"):
        """Starts the program without a switch in a fresh session and waits
        until it has added its icon and waits for messages."""
        self.start_session()
        started = self.launch(program, [], debug)
        self.wait_for_calls(started, in_message_loop, "the icon added, then the message loop")
        return started

    # --- the tray

    def tray_icon_shown(self):
        """The program's blue icon is in the notification area's first place."""
        x, y = TRAY_ICON
        return any(b > 170 and r < 70 for r, g, b in self.pixels(x - 8, y - 8, 16, 16))

    def start_in_tray(self, program, timeout=30):
        """Starts the program without a switch and waits for its icon on the
        screen; returns what finish() needs."""
        started = self.launch_in_tray(program)
        wait_until(self.tray_icon_shown, timeout, 0.2, "no tray icon appeared")
        return started

    def tray_menu(self, started, *keys):
        """Opens the tray menu with a right click; with keys, types them into
        it and waits for it to close."""
        menus = len([c for c in self.calls_so_far(started) if c.name == "TrackPopupMenu"])
        self.focus_desktop()
        self.right_click_tray_icon()
        self.wait_for_calls(started, called("TrackPopupMenu", menus + 1),
                            "the menu opened by a right click")
        if keys:
            self.menu_keys(started, *keys)

    def menu_keys(self, started, *keys):
        """Types keys into the open menu, counted from no item selected, and
        waits for it to close. A key typed before the menu has the keyboard
        goes elsewhere, so the first one is typed until the menu tells its
        owner of a selection: Up from no item is the last (End), Down the
        first (Home), and either may be pressed again without harm."""
        menus = len([c for c in self.calls_so_far(started) if c.name == "TrackPopupMenu"])
        anchor, item = ("End", MENU_LAST_ITEM) if keys[0] == "Up" else ("Home", MENU_FIRST_ITEM)
        rest = keys[1:] if keys[0] in ("Up", "Down") else keys

        def selected(calls):
            form = settings_form(calls)
            return [c for c in calls if c.name == "DefWindowProcA" and
                    c.numbers()[:2] == [form, WM_MENUSELECT] and c.numbers()[2] & 0xFFFF == item]
        before = len(selected(self.calls_so_far(started)))
        deadline = time.monotonic() + 30
        while True:
            self.xdotool("key", anchor)
            try:
                wait_until(lambda: len(selected(self.calls_so_far(started))) > before, 1)
                break
            except AssertionError:
                if time.monotonic() > deadline:
                    raise AssertionError("the menu took no key: %s" % [
                        str(c) for c in self.calls_so_far(started)[-25:]])
        if rest:
            self.xdotool("key", "--delay", "100", *rest)
        self.wait_for_calls(started, called("TrackPopupMenu", menus, returned=True),
                            "the menu closed by %s" % " ".join(keys))

    def show_settings(self, started):
        """Opens the settings window from the tray menu and waits until it is
        shown and, where it fades in, opaque."""
        self.tray_menu(started, "Up", "Up", "Return")  # "Show settings", above "Exit"
        self.wait_for_calls(started, settings_shown, "the settings window shown")

    def right_click_tray_icon(self):
        """Every other click lands a few pixels aside: two on one spot within
        the double-click time are a double-click, which opens no menu."""
        x = TRAY_ICON[0] - 5 * (self.right_clicks % 2)
        self.right_clicks += 1
        self.xdotool("mousemove", str(x), str(TRAY_ICON[1]), "click", "3")

    def double_click_tray_icon(self):
        self.xdotool("mousemove", str(TRAY_ICON[0]), str(TRAY_ICON[1]), "click", "--repeat", "2",
                     "--delay", "80", "1")

    def exit_from_tray(self, program, started):
        """Chooses "Exit", the last item, and collects the run."""
        self.tray_menu(started, "Up", "Return")  # Up from nothing selected: the last item
        return self.finish(program, *started, timeout=60)

    # --- the screen

    def focus_desktop(self):
        """Gives the X focus to the virtual desktop, from where Wine passes keys
        to a menu. No window manager does it when the window that had the
        focus goes away (the taskbar keeps it then, and swallows the keys);
        a window of its own, such as a message box, takes it when shown."""
        desktop = self.xdotool("search", "--name", "^Default - Wine desktop$")[0]
        self.xdotool("windowfocus", "--sync", desktop)

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool"] + list(args), env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError("xdotool %s failed: %s" % (args, result.stderr.decode()))
        return result.stdout.decode().split()

    def wait_for_window(self, name, timeout=30):
        """A top-level window of that name, where there is no virtual desktop."""
        def found():
            return self.xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(name),
                                check=False)
        return wait_until(found, timeout, 0.2, "no window named %r appeared" % name)[0]

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, timeout=30,
                       check=True)

    def pixels(self, x, y, width, height):
        """The screen's colours in a rectangle, row by row, as (r, g, b)."""
        shot = os.path.join(self.root, "pixels.ppm")
        subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                        "+repage", "-depth", "8", shot], env=self.env, timeout=30, check=True)
        with open(shot, "rb") as f:
            data = f.read()
        os.remove(shot)
        # Binary PPM: "P6\n<w> <h>\n255\n" and then the pixels.
        header_end = 0
        for _ in range(3):
            header_end = data.index(b"\n", header_end) + 1
        body = data[header_end:]
        return [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]


__all__ = ["WineSession", "Run", "Record", "Call", "TRAY_ICON", "parse_trace", "wait_until",
           "called", "in_message_loop", "settings_form", "settings_shown", "settings_hidden",
           "is_64_bit", "image_range", "install_wine_fonts", "program_under_test",
           "program_is_64_bit", "low_half"]
