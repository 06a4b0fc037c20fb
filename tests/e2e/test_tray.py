"""The tray application under Wine: a virtual desktop with a taskbar and a
notification area, driven with the mouse and keyboard through xdotool."""

import os
import sys
import time

from wine_harness import TRAY_ICON as ICON, WineSession, check, exe_from_argv, main

TASKBAR = (60, 750, 880, 16)  # between the Start button and the notification area
# (separator flag, command) of the twelve items, top to bottom
ITEMS = [(0, 101), (0, 102), (0, 103), (0, 104), (0, 105), (0, 106), (0, 107), (0x800, 0),
         (0, 109), (0x800, 0), (0, 111), (0, 112)]
FORCE_TERMINATE, SUSPEND, HIBERNATE, REBOOT = 109, 106, 107, 103

session = None
program = None


def write_settings(**values):
    session.write_settings(program, **values)


def icon_shown():
    return session.tray_icon_shown()


def taskbar_is_empty():
    """No button between Start and the notification area: one plain grey."""
    colours = set(session.pixels(*TASKBAR))
    return len(colours) == 1 and len(set(colours.pop())) == 1


def start_in_tray():
    return session.start_in_tray(program)


def menu(*keys):
    session.tray_menu(*keys)


def exit_from_menu(started):
    return session.exit_from_tray(program, started)


def numbers(call):
    return call.numbers()


def icon_menu_and_exit():
    write_settings(Action="Reboot", Terminate="No")
    started = start_in_tray()
    shots = os.environ.get("QUENNAVAR_SCREENSHOTS")
    if shots:
        session.screenshot(os.path.join(shots, "tray.png"))
    check(taskbar_is_empty(), "a taskbar button appeared for the program")
    menu()
    if shots:
        session.screenshot(os.path.join(shots, "tray-menu.png"))
    session.xdotool("key", "Escape")
    run = exit_from_menu(started)
    check(run.exit_code == 0, "exit code %d" % run.exit_code)

    # The relay shows no captions here; the screenshot and the unit tests do.
    items = [(numbers(c)[1] & 0x800, numbers(c)[2]) for c in run.find("AppendMenuA")]
    check(items == ITEMS, "menu items %s" % items)
    notify = run.find("Shell_NotifyIconA")
    check([numbers(c)[0] for c in notify] == [0, 2], "icon added, then removed: %s" % notify)
    track = run.find("TrackPopupMenu")
    check(len(track) == 2 and numbers(track[0])[1:4] == [2, ICON[0], ICON[1]],
          "menu at the cursor: %s" % track)
    enabled = {numbers(c)[1]: numbers(c)[2] for c in run.find("EnableMenuItem")}
    check(enabled == {SUSPEND: 1, HIBERNATE: 0}, "Suspend greyed, Hibernate not: %s" % enabled)
    checks = {}
    for c in run.find("CheckMenuItem"):
        checks[numbers(c)[1]] = numbers(c)[2] & 8
    check(checks[REBOOT] == 8 and checks[FORCE_TERMINATE] == 0 and
          sum(1 for item, mark in checks.items() if mark) == 1,
          "marks follow the settings file: %s" % checks)
    foreground = run.find("SetForegroundWindow")
    check(foreground and run.calls.index(foreground[0]) < run.calls.index(track[0]),
          "the window comes to the front before the menu opens")
    names = run.names()
    check(names.index("DestroyWindow") > len(names) - 1 - names[::-1].index("Shell_NotifyIconA"),
          "the icon is removed before the window is destroyed")


def reboot_with_stored_force():
    write_settings(Action="Shutdown", Terminate="Yes")
    started = start_in_tray()
    menu(*["Down"] * 8, "Return")  # "Force terminate": the mark flips off
    menu(*["Down"] * 3, "Return")  # "Reboot"
    run = session.finish(program, *started, timeout=30)
    checks = [numbers(c)[2] & 8 for c in run.find("CheckMenuItem") if numbers(c)[1] == FORCE_TERMINATE]
    check(checks == [8, 0, 8], "marks of Force terminate: pop-up, toggle, pop-up: %s" % checks)
    check(run.effects()[:1] == ["user32.ExitWindowsEx(00000006,7fffffff)"],
          "reboot forced as stored: %s" % run.effects())
    check([(r.type, r.id) for r in run.records] == [(0, 4)], "records %s" % run.records)


def double_click_runs_stored_action():
    write_settings(Action="Hibernate", ShowOnClick="No")
    started = start_in_tray()
    session.double_click_tray_icon()
    time.sleep(1.5)
    run = exit_from_menu(started)
    check("powrprof.SetSuspendState(00000001,00000000,00000000)" in run.effects(),
          "double-click hibernates: %s" % run.effects())
    check([(r.type, r.id) for r in run.records] == [(0, 6)], "records %s" % run.records)


def unreadable_time_is_shown_and_the_program_runs_on():
    write_settings(Time="half past", Action="Reboot")
    with open(session.settings_path(program), "rb") as f:
        before = f.read()
    session.start_session()
    started = session.launch(program, [])
    time.sleep(2)
    shots = os.environ.get("QUENNAVAR_SCREENSHOTS")
    if shots:
        session.screenshot(os.path.join(shots, "settings-error.png"))
    session.xdotool("key", "Return")  # the box from start-up has the focus
    time.sleep(0.8)
    check(icon_shown(), "the program runs on with its icon")
    menu()  # the pop-up handler fails: a box again, and no menu
    time.sleep(0.5)
    session.xdotool("key", "Return")
    time.sleep(0.5)
    with open(session.settings_path(program), "rb") as f:
        after = f.read()
    check(after == before, "the settings file was changed")
    write_settings(Action="Reboot")  # mended: now the menu opens and "Exit" ends it
    run = exit_from_menu(started)
    check(run.exit_code == 0, "exit code %d" % run.exit_code)
    boxes = run.find("MessageBoxA")
    check(len(boxes) == 2 and all(b.args[1:] == ['"\'half past\' is not a valid time."',
                                                 '"Quennavar"', "00000010"] for b in boxes),
          "two error boxes expected: %s" % [str(b) for b in boxes])
    check(len(run.find("TrackPopupMenu")) == 1, "the failed pop-up opened no menu")


CASES = [
    ("icon-menu-and-exit", icon_menu_and_exit),
    ("reboot-with-stored-force", reboot_with_stored_force),
    ("double-click-runs-stored-action", double_click_runs_stored_action),
    ("unreadable-time", unreadable_time_is_shown_and_the_program_runs_on),
]

if __name__ == "__main__":
    with WineSession(exe_from_argv(), "winxp", display=True, desktop=True) as s:
        session = s
        program = s.install()
        sys.exit(main(CASES))
