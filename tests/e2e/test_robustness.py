"""Bad input, run for real: odd folders, huge and odd command lines, minutes at
the 32-bit edges, and settings files the program did not write. Each case
checks what the program does and that the settings file is left as it was
unless a write succeeded."""

import os
import re
import subprocess

import pytest

from wine_harness import called, wait_until

pytestmark = pytest.mark.wine(version="winxp", display=True, desktop=True)

REGISTRATION = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Quennavar"
A_CHECK_BOX = (847 + 8 + 20, 467 + 139 + 8)  # in the settings window shown from the menu


def close_program(session, program, run_poke, started):
    """Closes the settings window, as its close button does: the program ends.
    (Typing into the tray menu is unreliable once another program had the
    keyboard: Wine's shell does not pass the foreground on.)"""
    run_poke("close")
    return session.finish(program, *started, timeout=60)


@pytest.mark.parametrize("folder", [
    pytest.param("Program Files/Quennavar tools", id="folder-with-blanks"),
    pytest.param("Outils \xe9t\xe9 \xe0 \xdfchlo\xdf", id="folder-non-ascii"),
    pytest.param("/".join(["Quennavar folder %02d" % i for i in range(11)]),
                 id="folder-over-200-characters"),
])
def test_folder(session, folder):
    moved = session.install(folder)
    run = session.run(moved, ["/hibernate", "1"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert [(r.type, r.id) for r in run.records] == [(0, 6)] and run.timers == ["+60.0000000"], \
        "records %s, timers %s" % (run.records, run.timers)
    value = session.reg_query(REGISTRATION, "EventMessageFile")
    expected = "C:\\" + folder.replace("/", "\\") + "\\Quennavar.exe"
    assert value == expected, "EventMessageFile %r, expected %r" % (value, expected)


def test_command_line_30000_characters(session, program):
    run = session.run(program, ["/reboot", "x" * 30000])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert run.effects()[:1] == ["user32.ExitWindowsEx(00000002,7fffffff)"], \
        "a long modifier does not force: %s" % run.effects()


# Quotes drop out wherever they stand: the first two are "/reboot /terminate".
@pytest.mark.parametrize("command_line, effect", [
    pytest.param('/re"boo"t "/terminate"', "user32.ExitWindowsEx(00000006,7fffffff)",
                 id="switch-with-embedded-quotes"),
    pytest.param('/reboot "/ter"minate', "user32.ExitWindowsEx(00000006,7fffffff)",
                 id="modifier-with-quotes"),
    pytest.param('"" ""/logoff', "user32.ExitWindowsEx(00000000,7fffffff)",
                 id="empty-quotes-before-the-switch"),
])
def test_quotes(session, program, command_line, effect):
    run = session.run_raw(program, command_line)
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert run.effects()[:1] == [effect], "effects %s" % run.effects()


# A wake-up time at a 32-bit edge: set as given, or two hours for no number,
# and always able to wake the machine.
@pytest.mark.parametrize("value, expire", [
    pytest.param("35791394", "+2147483640.0000000", id="minutes-largest"),
    # Negative minutes give a due time that is absolute, long past: at once.
    pytest.param("-35791394", "4c4b3ffb3b4c00", id="minutes-smallest"),
    pytest.param("2147483648", "+7200.0000000", id="minutes-beyond-32-bits"),
])
def test_minutes(session, program, value, expire):
    run = session.run(program, ["/hibernate", value])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert run.timers == [expire], "timers %s, expected %s" % (run.timers, expire)
    resume = [c.args[5] for c in run.find("SetWaitableTimer")]
    assert resume == ["00000001"], "the timer wakes the machine: %s" % run.effects()


@pytest.mark.parametrize("content", [
    pytest.param(bytes(range(256)) * 40, id="settings-binary-garbage"),
    pytest.param("\ufeff[Settings]\r\nAction=Reboot\r\nTime=11:30:00 PM\r\n".encode("utf-16-le"),
                 id="settings-utf16-with-bom"),
    pytest.param(b"[Settings]\r\nAction=" + b"A" * 100000 + b"\r\nTerminate=" + b"Y" * 100000
                 + b"\r\n", id="settings-100-kb-values"),
    pytest.param(b"[Settings]\r\nAction=Lock\r\nAction=Reboot\r\n[settings]\r\nTime=x\r\n",
                 id="settings-duplicates"),
])
def test_settings_file_not_ours(session, program, run_poke, content):
    """The tray application started on a settings file the program did not write."""
    path = session.settings_path(program)
    with open(path, "wb") as f:
        f.write(content)
    started = session.launch_in_tray(program)
    run = close_program(session, program, run_poke, started)
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert not run.find("MessageBoxA"), "no error expected: %s" % run.effects()
    with open(path, "rb") as f:
        assert f.read() == content, "the settings file changed"


def test_settings_folder_read_only(session, program, answer_box):
    path = session.settings_path(program)
    folder = os.path.dirname(path)
    if os.path.exists(path):
        os.remove(path)
    if subprocess.run(["chattr", "+i", folder]).returncode != 0:
        pytest.skip("the file system has no immutable flag")
    try:
        started = session.start_in_tray(program)
        session.show_settings(started)
        session.xdotool("mousemove", str(A_CHECK_BOX[0]), str(A_CHECK_BOX[1]), "click", "1")
        answer_box(started, 1)
        run = session.exit_from_tray(program, started)
    finally:
        subprocess.run(["chattr", "-i", folder])
    assert not os.path.exists(path), "a settings file appeared"
    boxes = [c.args[1] for c in run.find("MessageBoxA")]
    assert boxes == ['"Unable to write to C:\\\\Quennavar\\\\quennavar.ini."'], \
        "the write error box: %s" % boxes


def test_two_copies_at_once(session, program):
    session.write_settings(program, Action="Hibernate", ShowOnClick="No")
    with open(session.settings_path(program), "rb") as f:
        before = f.read()
    first = session.launch_in_tray(program)
    second = session.launch(program, [])
    session.wait_for_calls(second, called("Shell_NotifyIconA", returned=True),
                           "the second copy's icon added")
    assert first[0].poll() is None and second[0].poll() is None, "both copies run"
    # The first place holds the first copy's icon (the second's goes left
    # of it): that copy hibernates.
    session.double_click_tray_icon()
    session.wait_for_calls(first, called("SetSuspendState", returned=True),
                           "the first copy hibernating on the double-click")
    session.stop_session()
    session.finish(program, *second)
    run = session.finish(program, *first)
    added = [c for c in run.find("Shell_NotifyIconA") if c.args[0] == "00000000"]
    assert len(added) == 1 and added[0].result == 1, \
        "the first copy has its icon: %s" % [(str(c), c.result) for c in added]
    with open(session.settings_path(program), "rb") as f:
        assert f.read() == before, "the settings file changed"


def test_taskbar_recreated(session, program, run_poke, screenshot):
    session.write_settings(program, Action="Reboot")
    started = session.launch_in_tray(program)
    run_poke("taskbar")
    session.wait_for_calls(started, called("Shell_NotifyIconA", 2, returned=True),
                           "the icon added again for the new taskbar")
    screenshot("taskbar-recreated")
    run = close_program(session, program, run_poke, started)
    calls = [c.args[0] for c in run.find("Shell_NotifyIconA")]
    # Wine's taskbar was not really re-created: the second add may fail, and
    # the icon must be removed at exit all the same.
    assert calls == ["00000000", "00000000", "00000002"], \
        "added, added again, removed at exit: %s" % [str(c) for c in run.find("Shell_NotifyIconA")]


def test_10000_notifications_1000_menus(session, program, run_poke):
    """10,000 notifications and 1,000 menus: handles and memory stay level."""
    session.write_settings(program, Action="Reboot")
    session.start_session()
    started = session.launch(program, [], debug="-all")  # a trace would dwarf the program
    wait_until(session.tray_icon_shown, 30, 0.2, "no tray icon appeared")
    run_poke("flood", "10", "10")  # warm up: first use of menu, fonts and bitmaps
    report = run_poke("flood", "10000", "1000")
    session.stop_session()
    session.finish(program, *started)
    numbers = {when: dict((k, int(v)) for k, v in re.findall(r"(\w+)=(\d+)", line))
               for when, line in re.findall(r"^(before|after) (.*)$", report, re.M)}
    assert set(numbers) == {"before", "after"}, "no measurement: %r" % report
    before, after = numbers["before"], numbers["after"]
    print(", ".join("%s %d -> %d" % (key, before[key], after[key]) for key in before))
    # A leak in the handling of a notification or a menu would show by the
    # thousand. The count also moves by one now and then with no leak behind
    # it (37 -> 38 once, on a host busy with other builds), so a few are allowed.
    assert after["handles"] <= before["handles"] + 3, "handles grew: %s" % numbers
    for key in ("gdi", "user"):
        assert after[key] <= before[key], "%s grew: %s" % (key, numbers)
    assert after["private"] <= before["private"] + 1024 * 1024, "memory grew: %s" % numbers
