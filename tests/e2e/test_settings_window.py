"""The settings window under Wine: placement, what it shows, what its clicks
write, the fade-in and the daily action timer."""

import subprocess
import time

import pytest

from wine_harness import called, settings_form, settings_hidden, settings_shown

pytestmark = pytest.mark.wine(version="winxp", display=True, desktop=True)

WIDTH, HEIGHT = 1024, 768
RB_REBOOT, RB_SUSPEND, BTN_REBOOT, BTN_HIDE, VERSION_LABEL = 1008, 1010, 1018, 1019, 1004
TIME_PICKER = 1017
# The classic frame is 3 pixels and the caption 19, so the client area of
# the 175 x 293 window shown from the menu starts at (847, 467).
LEFT, TOP = 847, 467
RADIO_REBOOT = (LEFT + 21, TOP + 64 + 8)
DO_NOW = (LEFT + 3 + 30, TOP + 240 + 12)
HIDE = (LEFT + 101 + 30, TOP + 240 + 12)
A_CHECK_BOX = (LEFT + 8 + 20, TOP + 139 + 8)
HIBERNATE_NOW = "powrprof.SetSuspendState(00000001,00000000,00000000)"


def geometry(run):
    """The settings window's handle and outer size, from its creation."""
    created = [c for c in run.find("CreateWindowExA") if c.numbers()[1] & 0x00C00000]
    assert created, "the settings window was not created: %s" % run.names()
    n = created[0].numbers()
    return created[0].result, n[4], n[5]


def control(run, ident):
    found = [c.result for c in run.find("CreateWindowExA") if c.numbers()[-3] == ident]
    assert found, "no control %d: %s" % (ident, [str(c) for c in run.find("CreateWindowExA")])
    return found[0]


def moves(run, form):
    return [c.numbers()[2:4] for c in run.find("SetWindowPos") if c.numbers()[0] == form]


def opacity(run, form):
    return [c.numbers()[2] for c in run.find("SetLayeredWindowAttributes")
            if c.numbers()[0] == form]


def click(session, at):
    session.xdotool("mousemove", str(at[0]), str(at[1]), "click", "1")


def test_placement_look_and_version(session, program, screenshot, run_poke):
    # No warning: run at 11:29 PM, its balloon would cover the tray icon.
    session.write_settings(program, Action="Reboot", Terminate="No", ShowOnClick="Yes",
                           TimerEnable="Yes", Time="11:30:00 PM", WarnMinutes="0")
    started = session.start_in_tray(program)
    session.show_settings(started)
    screenshot("settings-window")
    # The user's short time, clear of the picker's arrows: without its
    # designator 11:30 PM would read as 11:30 in the morning.
    text, sizes = run_poke("room", TIME_PICKER).rstrip("\r\n").split("\t")
    width, room = (int(n) for n in sizes.split())
    assert text == "11:30 PM" and width + 2 <= room, \
        "the picker shows %r, %d pixels wide in %d" % (text, width, room)
    # Closed by the helper: after a helper has run in the virtual desktop,
    # Wine may pass the keys to no tray menu.
    run_poke("close")
    run = session.finish(program, *started)
    form, width, height = geometry(run)
    assert (width, height) != (0, 0), "window size %s" % ([width, height],)
    expected = [WIDTH - width - 5, HEIGHT - height - 30]
    assert moves(run, form)[-1:] == [expected], \
        "placed at %s, expected %s" % (moves(run, form), expected)
    label = control(run, VERSION_LABEL)
    texts = [c.args[1] for c in run.find("SetWindowTextA") if c.numbers()[0] == label]
    assert texts == ['"1.0.0.0"'], "version label %s" % texts
    suspend = control(run, RB_SUSPEND)
    disabled = [c.numbers()[1] for c in run.find("EnableWindow") if c.numbers()[0] == suspend]
    assert disabled == [0], "Suspend's radio button is disabled: %s" % disabled
    shown = [c for c in run.find("ShowWindow") if c.numbers()[0] == form and c.numbers()[1] != 0]
    assert shown, "the window was shown: %s" % [str(c) for c in run.find("ShowWindow")]


def test_double_click_places_one_pixel_higher(session, program):
    session.write_settings(program, ShowOnClick="Yes", UseAlphaBlend="No")
    started = session.start_in_tray(program)
    session.double_click_tray_icon()
    session.wait_for_calls(started, settings_shown, "the settings window shown by a double-click")
    run = session.exit_from_tray(program, started)
    form, width, height = geometry(run)
    assert moves(run, form)[-1:] == [[WIDTH - width - 5, HEIGHT - height - 31]], \
        "placed at %s" % moves(run, form)
    faded = [str(c) for c in run.find("SetLayeredWindowAttributes") if c.numbers()[2] != 255]
    assert not faded, "no fade with UseAlphaBlend=No: %s" % faded


def test_clicks_write_their_keys(session, program, screenshot):
    session.write_settings(program, Action="Shutdown", Terminate="Yes", UseAlphaBlend="No")
    started = session.start_in_tray(program)
    session.show_settings(started)
    click(session, RADIO_REBOOT)
    session.wait_for_calls(started, called("WritePrivateProfileStringA", returned=True),
                           "the settings written on the radio button's click")
    screenshot("after-radio")
    click(session, HIDE)
    session.wait_for_calls(started, settings_hidden, "the window hidden by Hide to tray")
    screenshot("after-hide")
    run = session.exit_from_tray(program, started)
    writes = [c.args[1].strip('"') for c in run.find("WritePrivateProfileStringA")]
    assert writes[:4] == ["Action", "TimerEnable", "ShowOnClick", "Time"], \
        "a radio click writes four keys: %s" % writes
    assert "Terminate" not in writes, "Terminate is never written by a radio or Hide: %s" % writes
    values = [c.args[2].strip('"') for c in run.find("WritePrivateProfileStringA")]
    assert values[:1] == ["Reboot"], "the clicked action is stored: %s" % values
    form, _, _ = geometry(run)
    hidden = [c for c in run.find("ShowWindow") if c.numbers()[0] == form and c.numbers()[1] == 0]
    assert len(hidden) >= 2, \
        "Hide to tray hides the window again: %s" % [str(c) for c in run.find("ShowWindow")]
    with open(session.settings_path(program), "rb") as f:
        stored = f.read().decode("latin-1")
    assert "Action=Reboot" in stored and "Terminate=Yes" in stored, "file: %r" % stored


def test_do_now(session, program):
    session.write_settings(program, Action="Hibernate", UseAlphaBlend="No")
    started = session.start_in_tray(program)
    session.show_settings(started)
    click(session, DO_NOW)
    session.wait_for_calls(started, called("SetSuspendState", returned=True), "hibernation after Do now")
    run = session.exit_from_tray(program, started)
    assert HIBERNATE_NOW in run.effects(), "Do now hibernates: %s" % run.effects()


@pytest.mark.parametrize("version, alpha_blend, fades", [
    pytest.param("winxp", "Yes", True, id="fade-on-xp"),
    pytest.param("win2k", "Yes", False, id="no-fade-on-2000"),
    pytest.param("winxp", "No", False, id="no-fade-when-off"),
])
def test_fade(session, program, version, alpha_blend, fades):
    session.set_version(version)
    try:
        session.write_settings(program, UseAlphaBlend=alpha_blend)
        started = session.start_in_tray(program)
        session.show_settings(started)
        run = session.exit_from_tray(program, started)
    finally:
        session.set_version("winxp")
    steps = opacity(run, settings_form(run.calls))
    if fades:
        assert steps[-256:] == list(range(256)), "opacity rises from 0 to 255: %s" % steps
        assert steps[:2] == [255, 0], "opaque at creation, transparent before restoring: %s" % steps
    else:
        assert steps == [255], "no fade: %s" % steps


def test_read_only_settings_file(session, program, answer_box):
    """A refused write is reported, the file stays as it was and the program runs on."""
    path = session.settings_path(program)
    session.write_settings(program, Action="Reboot", Terminate="Yes", UseAlphaBlend="No")
    with open(path, "rb") as f:
        before = f.read()
    # As root, only the immutable flag makes a file read-only for Wine.
    if subprocess.run(["chattr", "+i", path]).returncode != 0:
        pytest.skip("the file system has no immutable flag")
    try:
        started = session.start_in_tray(program)
        session.show_settings(started)
        click(session, A_CHECK_BOX)
        answer_box(started, 1, shot="write-refused")
        run = session.exit_from_tray(program, started)
    finally:
        subprocess.run(["chattr", "-i", path])
    with open(path, "rb") as f:
        assert f.read() == before, "the settings file changed"
    boxes = [c.args[1:] for c in run.find("MessageBoxA")]
    assert boxes == [['"Unable to write to C:\\\\Quennavar\\\\quennavar.ini."', '"Quennavar"',
                      "00000010"]], "the write error box: %s" % boxes


def test_timer_runs_once(session, program):
    """The daily time comes: the action runs at one tick of its minute and at no other."""
    now = time.localtime()
    if now.tm_sec > 25:  # start early in a minute: the test watches a whole one
        time.sleep(61 - now.tm_sec)
        now = time.localtime()
    hour = now.tm_hour % 12 or 12
    session.write_settings(program, Action="Hibernate", TimerEnable="Yes",
                           Time="%d:%02d:00 %s" % (hour, now.tm_min,
                                                   "AM" if now.tm_hour < 12 else "PM"))
    started = session.start_in_tray(program)
    time.sleep(60 - time.localtime().tm_sec + 1)  # every tick of the minute, and one after it
    run = session.exit_from_tray(program, started)
    timers = [c.numbers()[1:3] for c in run.find("SetTimer")]
    assert timers == [[1, 10000]], "one 10-second timer: %s" % timers
    suspends = [e for e in run.effects() if "SetSuspendState" in e]
    assert len(suspends) == 1, "the action ran %d times in its minute: %s" % (len(suspends),
                                                                              run.effects())
