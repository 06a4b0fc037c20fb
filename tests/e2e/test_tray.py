"""The tray application under Wine: a virtual desktop with a taskbar and a
notification area, driven with the mouse and keyboard through xdotool."""

import pytest

from wine_harness import TRAY_ICON as ICON, called, in_message_loop, wait_until

pytestmark = pytest.mark.wine(version="winxp", display=True, desktop=True)

TASKBAR = (60, 750, 880, 16)  # between the Start button and the notification area
# (separator flag, command) of the twelve items, top to bottom
ITEMS = [(0, 101), (0, 102), (0, 103), (0, 104), (0, 105), (0, 106), (0, 107), (0x800, 0),
         (0, 109), (0x800, 0), (0, 111), (0, 112)]
FORCE_TERMINATE, SUSPEND, HIBERNATE, REBOOT = 109, 106, 107, 103
HIBERNATE_NOW = "powrprof.SetSuspendState(00000001,00000000,00000000)"


def taskbar_is_empty(session):
    """No button between Start and the notification area: one plain grey."""
    colours = set(session.pixels(*TASKBAR))
    return len(colours) == 1 and len(set(colours.pop())) == 1


def test_icon_menu_and_exit(session, program, screenshot):
    session.write_settings(program, Action="Reboot", Terminate="No")
    started = session.start_in_tray(program)
    screenshot("tray")
    assert taskbar_is_empty(session), "a taskbar button appeared for the program"
    session.tray_menu(started)
    screenshot("tray-menu")
    session.menu_keys(started, "Escape")
    run = session.exit_from_tray(program, started)
    assert run.exit_code == 0, "exit code %d; calls %s" % (run.exit_code, run.names())

    # The relay shows no captions here; the screenshot and the unit tests do.
    items = [(c.numbers()[1] & 0x800, c.numbers()[2]) for c in run.find("AppendMenuA")]
    assert items == ITEMS, "menu items %s" % items
    notify = run.find("Shell_NotifyIconA")
    assert [c.numbers()[0] for c in notify] == [0, 2], \
        "icon added, then removed: %s" % [str(c) for c in notify]
    track = run.find("TrackPopupMenu")
    assert len(track) == 2 and track[0].numbers()[1:4] == [2, ICON[0], ICON[1]], \
        "menu at the cursor: %s" % [str(c) for c in track]
    enabled = {c.numbers()[1]: c.numbers()[2] for c in run.find("EnableMenuItem")}
    assert enabled == {SUSPEND: 1, HIBERNATE: 0}, "Suspend greyed, Hibernate not: %s" % enabled
    checks = {c.numbers()[1]: c.numbers()[2] & 8 for c in run.find("CheckMenuItem")}
    assert checks[REBOOT] == 8 and checks[FORCE_TERMINATE] == 0 and \
        sum(1 for mark in checks.values() if mark) == 1, \
        "marks follow the settings file: %s" % checks
    foreground = run.find("SetForegroundWindow")
    assert foreground and run.calls.index(foreground[0]) < run.calls.index(track[0]), \
        "the window comes to the front before the menu opens: %s" % run.names()
    names = run.names()
    assert names.index("DestroyWindow") > len(names) - 1 - names[::-1].index("Shell_NotifyIconA"), \
        "the icon is removed before the window is destroyed: %s" % names[-40:]
    # The shell is loaded at its first use, once however often it is used
    # (each load counts one more reference to it), and freed once at exit.
    loads = [c for c in run.find("LoadLibraryExA") if "shell32" in c.args[0].lower()]
    frees = [c for c in run.find("FreeLibrary")
             if loads and c.numbers()[0] & 0xFFFFFFFF == loads[0].result]
    assert len(loads) == 1 and len(frees) == 1, \
        "shell32.dll loaded %d times, freed %d times" % (len(loads), len(frees))


def test_reboot_with_stored_force(session, program):
    session.write_settings(program, Action="Shutdown", Terminate="Yes")
    started = session.start_in_tray(program)
    session.tray_menu(started, *["Down"] * 8, "Return")  # "Force terminate": the mark flips off
    session.tray_menu(started, *["Down"] * 3, "Return")  # "Reboot"
    run = session.finish(program, *started, timeout=30)
    checks = [c.numbers()[2] & 8 for c in run.find("CheckMenuItem")
              if c.numbers()[1] == FORCE_TERMINATE]
    assert checks == [8, 0, 8], "marks of Force terminate: pop-up, toggle, pop-up: %s" % checks
    assert run.effects()[:1] == ["user32.ExitWindowsEx(00000006,7fffffff)"], \
        "reboot forced as stored: %s" % run.effects()
    assert [(r.type, r.id) for r in run.records] == [(0, 4)], "records %s" % run.records


def test_double_click_runs_stored_action(session, program):
    session.write_settings(program, Action="Hibernate", ShowOnClick="No")
    started = session.start_in_tray(program)
    session.double_click_tray_icon()
    session.wait_for_calls(started, called("SetSuspendState", returned=True),
                           "hibernation after the double-click")
    run = session.exit_from_tray(program, started)
    assert HIBERNATE_NOW in run.effects(), "double-click hibernates: %s" % run.effects()
    assert [(r.type, r.id) for r in run.records] == [(0, 6)], "records %s" % run.records


def test_unreadable_time(session, program, answer_box):
    """An unreadable time is shown, and the program runs on."""
    session.write_settings(program, Time="half past", Action="Reboot")
    with open(session.settings_path(program), "rb") as f:
        before = f.read()
    session.start_session()
    started = session.launch(program, [])
    answer_box(started, 1, shot="settings-error")  # the box from start-up
    session.wait_for_calls(started, in_message_loop, "the program running on")
    wait_until(session.tray_icon_shown, 30, 0.2, "the program runs on with its icon")
    session.right_click_tray_icon()  # the pop-up handler fails: a box again, and no menu
    answer_box(started, 2)
    with open(session.settings_path(program), "rb") as f:
        assert f.read() == before, "the settings file was changed"
    # Mended: now the menu opens and "Exit" ends it.
    session.write_settings(program, Action="Reboot")
    run = session.exit_from_tray(program, started)
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    boxes = run.find("MessageBoxA")
    assert len(boxes) == 2 and all(b.args[1:] == ['"\'half past\' is not a valid time."',
                                                  '"Quennavar"', "00000010"] for b in boxes), \
        "two error boxes expected: %s" % [str(b) for b in boxes]
    assert len(run.find("TrackPopupMenu")) == 1, \
        "the failed pop-up opened no menu: %s" % [str(c) for c in run.find("TrackPopupMenu")]
