#!/usr/bin/env python3
"""Runs Quennavar.exe under Wine in scripts/run's lasting prefix and tells the
user what happened.

With a switch the program acts and ends: it runs with Wine's traces, and what
reached Windows is printed in plain words. Wine's event log keeps nothing, so
the traces are the only record of it. Without a switch the program stays in
the tray: on the user's display as it is, or, where there is none, on a
virtual screen of its own until Ctrl-C.

Usage: run_report.py EXE PREFIX [argument …]
"""

import datetime
import os
import re
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from wine_harness import (Run, WineSession, install_wine_fonts, is_64_bit,  # noqa: E402
                          parse_trace, prefix_processes, wait_until)

MESSAGES = os.path.join(ROOT, "resources", "messages.mc")
SCREEN = os.path.join(ROOT, "build", "screen.png")
# The program acts only when its first argument is one of these, in any case.
SWITCHES = {"/shutdown", "/logoff", "/poweroff", "/reboot", "/suspend", "/hibernate", "/lock"}
TRACES = "+relay,+eventlog,+server"
DESKTOP = "1024x768"
TRAY_TIMEOUT = 60  # seconds; a first start in a cold prefix takes a while


# --- what the traces say, in plain words

def read_message_table(path):
    """{message id: text} from message-compiler source, English first.

    Each text line ends with a line break in the compiled table, so the text
    keeps one; "%0" in it is what leaves it out."""
    messages, languages = {}, {}
    last_id, message_id, language, body, skipping = 0, None, None, None, False
    with open(path, encoding="utf-8-sig") as source:
        for raw in source:
            line = raw.rstrip("\r\n")
            if body is not None:
                if line == ".":
                    if message_id is not None:
                        languages.setdefault(message_id, {})[language] = "".join(body)
                    body = None
                else:
                    body.append(line + "\n")
                continue
            if skipping:  # inside a parenthesised header value spread over lines
                skipping = ")" not in line
                continue
            if not line.strip() or line.lstrip().startswith(";"):
                continue
            key, _, value = (part.strip() for part in line.partition("="))
            key = key.lower()
            if key == "messageid":
                if not value:
                    message_id = last_id + 1
                elif value.startswith("+"):
                    message_id = last_id + int(value[1:], 0)
                else:
                    message_id = int(value, 0)
                last_id = message_id
            elif key == "language":
                language, body = value, []
            elif value.startswith("(") and ")" not in value:
                skipping = True
    for message_id, texts in languages.items():
        messages[message_id] = texts.get("English", next(iter(texts.values())))
    return messages


INSERT = re.compile(r"%(?:([1-9][0-9]?)(?:![^!]*!)?|(.))", re.S)
ESCAPES = {"0": None, "n": "\n", "r": "\r", "t": "\t", "b": " "}


def format_message(template, inserts):
    """The text as the event viewer shows it: %1… replaced, %0 ending it."""
    out, position = [], 0
    for m in INSERT.finditer(template):
        out.append(template[position:m.start()])
        position = m.end()
        if m.group(1):
            number = int(m.group(1))
            out.append(inserts[number - 1] if number <= len(inserts) else m.group(0))
        elif m.group(2) == "0":
            return "".join(out)
        else:
            out.append(ESCAPES.get(m.group(2), m.group(2)))
    out.append(template[position:])
    return "".join(out)


def unescape(text):
    """A string as Wine's trace shows it: \\n, \\", \\xHH (narrow), \\HHHH (wide)."""
    def char(m):
        code = m.group(1)
        if code.startswith("x") and len(code) == 3:
            return bytes([int(code[1:], 16)]).decode("cp1252", errors="replace")
        if len(code) == 4:
            return chr(int(code, 16))
        return {"n": "\n", "r": "\r", "t": "\t"}.get(code, code)
    return re.sub(r"\\(x[0-9a-fA-F]{2}|[0-9a-fA-F]{4}|.)", char, text)


def string_argument(argument):
    """The text of a relay string argument; Wine cuts long ones short with "..."."""
    m = re.match(r'^L?"(.*)"(\.\.\.)?$', argument, re.S)
    if not m:
        return argument  # a null pointer or a resource id, shown as its number
    return unescape(m.group(1)) + ("…" if m.group(2) else "")


def one_line(text):
    return " ".join(part.strip() for part in text.splitlines() if part.strip())


def exit_windows_flags(flags):
    actions = [name for bit, name in ((1, "shutdown"), (2, "reboot"), (8, "poweroff"))
               if flags & bit] or ["logoff"]
    options = [name for bit, name in ((4, "force"), (0x10, "force if hung")) if flags & bit]
    unknown = ["unknown flags 0x%x" % (flags & ~0x1F)] if flags & ~0x1F else []
    return ", ".join(actions + options + unknown)


EVENT_TYPES = {0: "Information", 1: "Error", 2: "Warning", 4: "Information",
               8: "Audit Success", 16: "Audit Failure"}


def event_line(record, messages):
    kind = EVENT_TYPES.get(record.type, "type %d" % record.type)
    inserts = [] if record.text is None else [unescape(record.text)]
    template = messages.get(record.id & 0xFFFF)
    if template is None:
        text = "(no text for this id in resources/messages.mc; insertion string %r)" % (
            inserts[0] if inserts else None)
    else:
        text = one_line(format_message(template, inserts))
    return "Event %d (%s): %s" % (record.id & 0xFFFF, kind, text)


def wake_up_timer(expire):
    """The due time as the server traced it: relative "+1800.0000000", "0",
    or an absolute time in hexadecimal (100 ns since 1601, UTC)."""
    if expire == "0":
        return "wake-up timer in 0 s"
    if expire.startswith("+"):
        return "wake-up timer in %s s" % ("%.7f" % float(expire[1:])).rstrip("0").rstrip(".")
    try:
        when = datetime.datetime(1601, 1, 1) + datetime.timedelta(microseconds=int(expire, 16) // 10)
    except (ValueError, OverflowError):
        return "wake-up timer due %s" % expire
    return "wake-up timer at %s UTC" % when.strftime("%Y-%m-%d %H:%M:%S")


def refused(call):
    return " — refused (it returned FALSE)" if call.result == 0 else ""


def describe(run, messages):
    """What reached Windows, one plain line each, in the order it happened."""
    lines, records, timers, waiting_timer = [], iter(run.records), iter(run.timers), None
    for call in run.calls:
        if call.name == "ExitWindowsEx":
            lines.append("ExitWindowsEx: %s%s" % (exit_windows_flags(call.numbers()[0]), refused(call)))
        elif call.name == "LockWorkStation":
            lines.append("LockWorkStation" + (" — refused: Wine's LockWorkStation returned FALSE"
                                              if call.result == 0 else ""))
        elif call.name == "SetWaitableTimer":
            # The server traced the timer's due time; it is told with the
            # sleep it is meant to end.
            waiting_timer = next(timers, None)
        elif call.name == "SetSuspendState":
            hibernate, _, no_wake_events = call.numbers()[:3]
            words = ["hibernate" if hibernate else "suspend"]
            if waiting_timer is not None:
                words.append(wake_up_timer(waiting_timer))
                waiting_timer = None
            if no_wake_events:
                words.append("wake-up events off")
            lines.append("SetSuspendState: %s%s" % ("; ".join(words), refused(call)))
        elif call.name == "ReportEventA":
            record = next(records, None)
            if record is not None:
                lines.append(event_line(record, messages))
        elif call.name in ("MessageBoxA", "MessageBoxW"):
            text, caption = (one_line(string_argument(a)) for a in call.args[1:3])
            lines.append('Message box "%s": %s' % (caption, text))
    if waiting_timer is not None:
        lines.append("SetWaitableTimer: %s, and no sleep followed" % wake_up_timer(waiting_timer))
    return lines


# --- Wine, on the lasting prefix

class Stopped(Exception):
    """Ctrl-C or SIGTERM: end everything started, then leave."""


def stop(signum, frame):
    raise Stopped(signum)


def handle_stops(handler):
    """Ctrl-C and SIGTERM: stop, or, once cleaning up, ignored, so that a
    second Ctrl-C does not cut the clean-up short."""
    for signum in (signal.SIGINT, signal.SIGTERM):
        signal.signal(signum, handler)


class Session(WineSession):
    """The harness's Wine session on scripts/run's own prefix, which outlives
    it: only the traces and the server's log live in the temporary folder."""

    def __init__(self, exe, prefix, own_display):
        super().__init__(exe, display=True if own_display else "caller", prefix=prefix)
        install_wine_fonts(prefix)  # also into a prefix made before it had them

    def launch_program(self, args, debug="-all", stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL):
        # A session of its own: Ctrl-C reaches this script, which ends the
        # program in order, not the program half-way.
        return subprocess.Popen([self.wine, self.exe] + list(args),
                                env=dict(self.env, WINEDEBUG=debug), cwd=self.root,
                                stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr,
                                start_new_session=True)

    def program_windows(self, process):
        return self.xdotool("search", "--onlyvisible", "--pid", str(process.pid), check=False)

    def answer(self, window):
        """No one can click on the virtual screen: the box gets its default button."""
        self.xdotool("windowfocus", "--sync", window, check=False)
        self.xdotool("key", "--window", window, "Return", check=False)

    def end(self, *processes):
        self.stop_session()
        for process in processes:
            if process is not None:
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.close()


def running_in(prefix):
    """Ids of the processes Wine runs for the prefix now. A run ends the
    prefix's Wine session, which would end them too: another scripts/run, or
    a program started by hand."""
    found = []
    for pid in prefix_processes(prefix):
        try:
            # Wine's loader and server only: a shell may carry the variable too.
            if os.path.basename(os.readlink("/proc/%d/exe" % pid)).startswith("wine"):
                found.append(pid)
        except OSError:  # gone meanwhile, or not ours to read
            pass
    return sorted(found)


def report(exe, prefix, args):
    """Runs the program with its switch and prints what reached Windows."""
    own_display = not os.environ.get("DISPLAY")
    print("Running Quennavar.exe %s under Wine (Windows XP%s)%s; reading back what reached "
          "Windows…" % (" ".join(args), " x64" if is_64_bit(exe) else "",
                        ", on a virtual screen" if own_display else ""), flush=True)
    session = process = None
    try:
        session = Session(exe, prefix, own_display)
        session.start_session()
        with open(os.path.join(session.root, "trace.txt"), "wb") as trace:
            process = session.launch_program(args, TRACES, stderr=trace)
            shown = set()
            while process.poll() is None:
                for window in (session.program_windows(process) if own_display else []):
                    if window not in shown:
                        shown.add(window)
                        session.screenshot(SCREEN)
                        print("A message box came up on the virtual screen (picture: %s); "
                              "answering it with its default button." % os.path.relpath(SCREEN),
                              flush=True)
                        session.answer(window)
                time.sleep(0.2)
        exit_code = process.returncode
        with open(trace.name, encoding="latin-1") as f:
            text = f.read()
        os.remove(trace.name)
        session.stop_session()  # the server has written its whole log once it has ended
        with open(session.server_log, encoding="latin-1") as f:
            server_text = f.read()
        calls, records, timers = parse_trace(text, server_text, exe)
        del text, server_text
        lines = describe(Run(exit_code, calls, records, timers), read_message_table(MESSAGES))
        print("\n".join(lines) if lines else "Nothing reached Windows.")
        print("Quennavar ended with exit code %d" % exit_code)
        return exit_code
    except Stopped:
        print("\nStopped before the program ended; nothing is reported.", flush=True)
        return 130
    finally:
        handle_stops(signal.SIG_IGN)
        if session is not None:
            session.end(process)


def virtual_screen(exe, prefix, args):
    """The tray program on an Xvfb of its own, in a Wine desktop with a taskbar."""
    print("There is no display: Quennavar runs on a virtual screen (%s) in a Wine desktop "
          "with a taskbar." % DESKTOP, flush=True)
    session = desktop = process = None
    try:
        session = Session(exe, prefix, own_display=True)
        # The desktop is asked for this run only: the prefix keeps running
        # programs on the user's own display when there is one.
        desktop = subprocess.Popen([session.wine, "explorer", "/desktop=Default," + DESKTOP],
                                   env=session.env, cwd=session.root, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        try:
            wait_until(lambda: session.xdotool("search", "--name", "Wine desktop", check=False),
                       TRAY_TIMEOUT, 0.2)
        except AssertionError:
            print("The Wine desktop did not come up within %d s." % TRAY_TIMEOUT)
            return 1
        process = session.launch_program(args)
        try:
            up = wait_until(lambda: process.poll() is not None or session.tray_icon_shown(),
                            TRAY_TIMEOUT, 0.2)
        except AssertionError:
            up = False
        session.screenshot(SCREEN)
        where = os.path.relpath(SCREEN)
        if process.poll() is not None:
            print("Quennavar ended with exit code %d before its tray icon came up; "
                  "the screen as it was then: %s" % (process.returncode, where))
            return process.returncode
        if not up:
            print("Its tray icon did not come up within %d s; the screen as it is: %s"
                  % (TRAY_TIMEOUT, where))
            return 1
        print("Its tray icon is up, in the bottom right corner. A picture of the screen: %s" % where)
        print("Press Ctrl-C to stop it.", flush=True)
        exit_code = process.wait()
        print("Quennavar ended with exit code %d" % exit_code)
        return exit_code
    except Stopped:
        print("\nStopping Quennavar, its Wine session and the virtual screen.", flush=True)
        return 0  # Ctrl-C is how this run is meant to end
    finally:
        handle_stops(signal.SIG_IGN)
        if session is not None:
            session.end(process, desktop)


def on_display(exe, prefix, args):
    """The tray program on the user's own display."""
    session = process = None
    try:
        session = Session(exe, prefix, own_display=False)
        process = session.launch_program(args, os.environ.get("WINEDEBUG", "-all"), None, None)
        exit_code = process.wait()
        print("Quennavar ended with exit code %d" % exit_code)
        return exit_code
    except Stopped:
        print("\nStopping Quennavar and its Wine session.", flush=True)
        return 0
    finally:
        handle_stops(signal.SIG_IGN)
        if session is not None:
            session.end(process)


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    exe, prefix, args = os.path.abspath(argv[0]), os.path.abspath(argv[1]), argv[2:]
    busy = running_in(prefix)
    if busy:
        print("Wine is already running programs in %s (process ids %s), perhaps another "
              "scripts/run. Stop that first (Ctrl-C there), or end them all with:\n"
              "  WINEPREFIX=%s wineserver -k"
              % (os.path.relpath(prefix), " ".join(map(str, busy)), prefix))
        return 1
    handle_stops(stop)
    if args and args[0].lower() in SWITCHES:
        return report(exe, prefix, args)
    if not os.environ.get("DISPLAY"):
        return virtual_screen(exe, prefix, args)
    return on_display(exe, prefix, args)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
