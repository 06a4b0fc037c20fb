"""Bad input, run for real: odd folders, huge and odd command lines, minutes at
the 32-bit edges, and settings files the program did not write. Each case
checks what the program does and that the settings file is left as it was
unless a write succeeded."""

import os
import re
import subprocess
import sys
import time

from wine_harness import WineSession, check, exe_from_argv, main

session = None
program = None
REGISTRATION = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Quennavar"


def records(run):
    return [(r.type, r.id) for r in run.records]


def folder_case(folder):
    def case():
        moved = session.install(folder)
        run = session.run(moved, ["/hibernate", "1"])
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        check(records(run) == [(0, 6)] and run.timers == ["+60.0000000"],
              "records %s, timers %s" % (run.records, run.timers))
        value = session.reg_query(REGISTRATION, "EventMessageFile")
        expected = "C:\\" + folder.replace("/", "\\") + "\\Quennavar.exe"
        check(value == expected, "EventMessageFile %r, expected %r" % (value, expected))
    return case


def long_command_line():
    run = session.run(program, ["/reboot", "x" * 30000])
    check(run.exit_code == 0, "exit code %d" % run.exit_code)
    check(run.effects()[:1] == ["user32.ExitWindowsEx(00000002,7fffffff)"],
          "a long modifier does not force: %s" % run.effects()[:1])


def embedded_quotes(command_line, effect):
    def case():
        run = session.run_raw(program, command_line)
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        check(run.effects()[:1] == [effect], "effects %s" % run.effects()[:1])
    return case


def minutes(value, expire):
    """A wake-up time at a 32-bit edge: set as given, or two hours for no number,
    and always able to wake the machine."""
    def case():
        run = session.run(program, ["/hibernate", value])
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        check(run.timers == [expire], "timers %s, expected %s" % (run.timers, expire))
        resume = [c.args[5] for c in run.find("SetWaitableTimer")]
        check(resume == ["00000001"], "the timer wakes the machine: %s" % resume)
    return case


def settings_case(content, check_run):
    """The tray application started on a settings file the program did not write."""
    def case():
        path = session.settings_path(program)
        with open(path, "wb") as f:
            f.write(content)
        session.start_session()
        started = session.launch(program, [])
        time.sleep(4)
        run = close_program(started)
        check(run.exit_code == 0, "exit code %d" % run.exit_code)
        check_run(run)
        with open(path, "rb") as f:
            check(f.read() == content, "the settings file changed")
    return case


def no_box(run):
    check(not run.find("MessageBoxA"), "no error expected: %s" % run.find("MessageBoxA"))


def poke(*args):
    """The shell's stand-in, built from helpers/poke.c into drive C once."""
    exe = os.path.join(session.prefix, "drive_c", "poke.exe")
    if not os.path.exists(exe):
        source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "helpers", "poke.c")
        root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
        subprocess.run(["i686-w64-mingw32-gcc", "-O2", "-I", root, "-o", exe, source, "-lpsapi"],
                       check=True)
    return session._wine(["C:\\poke.exe"] + list(args), timeout=600)


def close_program(started):
    """Closes the settings window, as its close button does: the program ends.
    (Typing into the tray menu is unreliable once another program had the
    keyboard: Wine's shell does not pass the foreground on.)"""
    poke("close")
    return session.finish(program, *started, timeout=60)


def taskbar_recreated():
    session.write_settings(program, Action="Reboot")
    session.start_session()
    started = session.launch(program, [])
    time.sleep(4)
    poke("taskbar")
    time.sleep(2)
    shots = os.environ.get("QUENNAVAR_SCREENSHOTS")
    if shots:
        session.screenshot(os.path.join(shots, "taskbar-recreated.png"))
    run = close_program(started)
    calls = [c.args[0] for c in run.find("Shell_NotifyIconA")]
    # Wine's taskbar was not really re-created: the second add may fail, and
    # the icon must be removed at exit all the same.
    check(calls == ["00000000", "00000000", "00000002"],
          "added, added again, removed at exit: %s" % calls)


def many_notifications_and_menus():
    """10,000 notifications and 1,000 menus: handles and memory stay level."""
    session.write_settings(program, Action="Reboot")
    session.start_session()
    started = session.launch(program, [], debug="-all")  # a trace would dwarf the program
    time.sleep(4)
    poke("flood", "10", "10")  # warm up: first use of menu, fonts and bitmaps
    report = poke("flood", "10000", "1000")
    session.stop_session()
    session.finish(program, *started)
    numbers = {when: dict((k, int(v)) for k, v in re.findall(r"(\w+)=(\d+)", line))
               for when, line in re.findall(r"^(before|after) (.*)$", report, re.M)}
    check(set(numbers) == {"before", "after"}, "no measurement: %r" % report)
    before, after = numbers["before"], numbers["after"]
    print("     " + ", ".join("%s %d -> %d" % (key, before[key], after[key]) for key in before))
    for key in ("handles", "gdi", "user"):
        check(after[key] <= before[key], "%s grew: %s" % (key, numbers))
    check(after["private"] <= before["private"] + 1024 * 1024, "memory grew: %s" % numbers)


def two_copies_at_once():
    session.write_settings(program, Action="Hibernate", ShowOnClick="No")
    with open(session.settings_path(program), "rb") as f:
        before = f.read()
    session.start_session()
    first = session.launch(program, [])
    time.sleep(3)
    second = session.launch(program, [], debug="-all")
    time.sleep(3)
    check(first[0].poll() is None and second[0].poll() is None, "both copies run")
    session.double_click_tray_icon()  # the newer icon: that copy hibernates
    time.sleep(2)
    session.stop_session()
    session.finish(program, *second)
    run = session.finish(program, *first)
    added = [c for c in run.find("Shell_NotifyIconA") if c.args[0] == "00000000"]
    check(len(added) == 1 and added[0].result == 1, "the first copy has its icon")
    with open(session.settings_path(program), "rb") as f:
        check(f.read() == before, "the settings file changed")


def read_only_folder():
    folder = os.path.dirname(session.settings_path(program))
    if os.path.exists(session.settings_path(program)):
        os.remove(session.settings_path(program))
    if subprocess.run(["chattr", "+i", folder]).returncode != 0:
        print("     skipped: the file system has no immutable flag")
        return
    try:
        session.start_session()
        started = session.launch(program, [])
        time.sleep(4)
        session.tray_menu("Up", "Up", "Return")  # "Show settings"
        time.sleep(3)
        session.xdotool("mousemove", str(847 + 8 + 20), str(467 + 139 + 8), "click", "1")
        time.sleep(1.5)
        session.xdotool("key", "Return")
        time.sleep(0.8)
        run = session.exit_from_tray(program, started)
    finally:
        subprocess.run(["chattr", "-i", folder])
    check(not os.path.exists(session.settings_path(program)), "a settings file appeared")
    boxes = [c.args[1] for c in run.find("MessageBoxA")]
    check(boxes == ['"Unable to write to C:\\\\Quennavar\\\\quennavar.ini."'],
          "the write error box: %s" % boxes)


CASES = [
    ("folder-with-blanks", folder_case("Program Files/Quennavar tools")),
    ("folder-non-ascii", folder_case("Outils \xe9t\xe9 \xe0 \xdfchlo\xdf")),
    ("folder-over-200-characters", folder_case("/".join(["Quennavar folder %02d" % i
                                                         for i in range(11)]))),
    ("command-line-30000-characters", long_command_line),
    # Quotes drop out wherever they stand: these are "/reboot /terminate".
    ("switch-with-embedded-quotes", embedded_quotes('/re"boo"t "/terminate"',
                                                    "user32.ExitWindowsEx(00000006,7fffffff)")),
    ("modifier-with-quotes", embedded_quotes('/reboot "/ter"minate',
                                             "user32.ExitWindowsEx(00000006,7fffffff)")),
    ("empty-quotes-before-the-switch", embedded_quotes('"" ""/logoff',
                                                       "user32.ExitWindowsEx(00000000,7fffffff)")),
    ("minutes-largest", minutes("35791394", "+2147483640.0000000")),
    # Negative minutes give a due time that is absolute, long past: at once.
    ("minutes-smallest", minutes("-35791394", "4c4b3ffb3b4c00")),
    ("minutes-beyond-32-bits", minutes("2147483648", "+7200.0000000")),
    ("settings-binary-garbage", settings_case(bytes(range(256)) * 40, no_box)),
    ("settings-utf16-with-bom",
     settings_case("\ufeff[Settings]\r\nAction=Reboot\r\nTime=11:30:00 PM\r\n"
                   .encode("utf-16-le"), no_box)),
    ("settings-100-kb-values",
     settings_case(b"[Settings]\r\nAction=" + b"A" * 100000 + b"\r\nTerminate=" + b"Y" * 100000
                   + b"\r\n", no_box)),
    ("settings-duplicates",
     settings_case(b"[Settings]\r\nAction=Lock\r\nAction=Reboot\r\n[settings]\r\nTime=x\r\n",
                   no_box)),
    ("settings-folder-read-only", read_only_folder),
    ("two-copies-at-once", two_copies_at_once),
    ("taskbar-recreated", taskbar_recreated),
    ("10000-notifications-1000-menus", many_notifications_and_menus),
]

if __name__ == "__main__":
    with WineSession(exe_from_argv(), "winxp", display=True, desktop=True) as s:
        session = s
        program = s.install()
        sys.exit(main(CASES))
