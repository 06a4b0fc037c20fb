"""Today's desktop: the settings window inside the work area the taskbars
leave, laid out at the screen's DPI, and the program in a folder named in
another script. No virtual desktop: Wine then takes the work area from the
X root's _NET_WORKAREA, as a window manager sets it, and the test helper
does the tray's clicks."""

import re
import subprocess

import pytest

from wine_harness import called, in_message_loop, relay_text, settings_shown

# Windows 10: where a folder named in any script reaches the program whole.
pytestmark = pytest.mark.wine(version="win10", display=True)

SCREEN = (1024, 768)
SHOW_SETTINGS, DOUBLE_CLICK, HIDE_TO_TRAY, TIME_PICKER = 111, 0x203, 1019, 1017
TWENTY_FOUR_HOURS = {"sShortTime": "HH:mm", "sTimeFormat": "HH:mm:ss", "iTime": "1",
                     "iTLZero": "1"}
US_ENGLISH = {"sShortTime": "h:mm tt", "sTimeFormat": "h:mm:ss tt", "iTime": "0", "iTLZero": "0"}
REGISTRATION = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Quennavar"


def set_work_area(session, left, top, right, bottom):
    subprocess.run(["xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA",
                    "%d, %d, %d, %d" % (left, top, right, bottom)], env=session.env, check=True)


def placements(session, program, run_poke):
    """The settings window's rectangle and client size once "Show settings"
    has shown it, and its rectangle after a double-click on the icon."""
    started = session.launch_in_tray(program)
    run_poke("command", SHOW_SETTINGS)
    session.wait_for_calls(started, settings_shown, "the settings window shown")
    from_menu = [int(n) for n in run_poke("rect").split()]
    placed = len([c for c in session.calls_so_far(started) if c.name == "SetWindowPos"])
    run_poke("notify", DOUBLE_CLICK)
    session.wait_for_calls(started, called("SetWindowPos", placed + 1, returned=True),
                           "the window placed again by the double-click")
    from_double_click = [int(n) for n in run_poke("rect").split()]
    return started, from_menu, from_double_click


@pytest.mark.parametrize("work_area", [
    pytest.param((0, 0, 1024, 720), id="48px-taskbar-at-the-bottom"),
    pytest.param((0, 0, 962, 768), id="62px-taskbar-on-the-right"),
])
def test_placed_inside_the_work_area(session, program, run_poke, screenshot, work_area):
    set_work_area(session, *work_area)
    started, menu, double_click = placements(session, program, run_poke)
    if work_area[2] == SCREEN[0]:
        screenshot("settings-window-96dpi")
    run_poke("close")
    session.finish(program, *started)
    right, bottom = work_area[2:]
    assert menu[2:4] == [min(SCREEN[0], right) - 5, min(SCREEN[1] - 30, bottom)], \
        "from the menu the window stands at %s in the work area %s" % (menu[:4], work_area)
    assert double_click[2:4] == [menu[2], min(SCREEN[1] - 31, bottom - 1)], \
        "from a double-click at %s, one pixel above %s" % (double_click[:4], menu[:4])


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def inside(inner, outer):
    return outer[0] <= inner[0] and outer[1] <= inner[1] and inner[2] <= outer[2] and \
        inner[3] <= outer[3]


BS_GROUPBOX = 7


def laid_out(session, program, run_poke, screenshot, dpi):
    """The client area and the rectangle the menu shows the window at, each
    control's rectangle and whether it is a group box, and the time
    picker's text with its width and the room its arrows leave, at that DPI."""
    session.reg_add(r"HKCU\Control Panel\Desktop", {"LogPixels": dpi}, "REG_DWORD")
    try:
        started, menu, _ = placements(session, program, run_poke)
        screenshot("settings-window-%ddpi" % dpi)
        text, sizes = run_poke("room", TIME_PICKER).rstrip("\r\n").split("\t")
        picker = [text] + [int(n) for n in sizes.split()]
        run_poke("close")
        run = session.finish(program, *started)
    finally:
        session.reg_add(r"HKCU\Control Panel\Desktop", {"LogPixels": 96}, "REG_DWORD")
    controls = {}
    for call in run.find("CreateWindowExA"):
        style, x, y, width, height, _, control_id = call.numbers()[1:8]
        kind = relay_text(call.args[1])
        if kind in ("BUTTON", "STATIC", "SysDateTimePick32"):
            controls[control_id] = ((x, y, x + width, y + height),
                                    kind == "BUTTON" and style & 0xF == BS_GROUPBOX)
    return menu, controls, picker


def whole(picker):
    """The picker's text stands clear of its arrows, past its 2-pixel edge."""
    text, width, room = picker
    return width + 2 <= room


# At 125 and 150 %, as the program made the controls: none runs into another
# that it stays clear of at 100 %, out of its group box or out of the window.
def test_laid_out_at_the_screens_dpi(session, program, run_poke, screenshot):
    set_work_area(session, 0, 0, 1024, 720)
    _, design, picker = laid_out(session, program, run_poke, screenshot, 96)
    assert len(design) == 19, "controls made: %s" % sorted(design)
    # Its AM or PM whole: without it 11:30 at night reads as in the morning.
    assert picker[0] == "11:11 AM" and whole(picker), "the picker at 96 DPI: %s" % picker
    for dpi, client in ((120, (211, 335)), (144, (254, 402))):
        menu, controls, picker = laid_out(session, program, run_poke, screenshot, dpi)
        assert picker[0] == "11:11 AM" and whole(picker), "the picker at %d DPI: %s" % (dpi, picker)
        assert tuple(menu[4:]) == client, "client area %s at %d DPI" % (menu[4:], dpi)
        assert menu[2:4] == [1019, 720] and menu[0] >= 0 and menu[1] >= 0, \
            "the window at %s, inside the work area 0, 0, 1024, 720" % menu[:4]
        assert controls.keys() == design.keys()
        for first, (a, _) in controls.items():
            assert inside(a, (0, 0) + client), "control %d at %s at %d DPI" % (first, a, dpi)
            for second, (b, group) in controls.items():
                if group and inside(design[first][0], design[second][0]) and first != second:
                    assert inside(a, b), "control %d out of group %d at %d DPI" % (first, second, dpi)
                assert first == second or overlap(a, b) <= overlap(design[first][0], design[second][0]), \
                    "controls %d at %s and %d at %s overlap at %d DPI" % (first, a, second, b, dpi)


def test_the_picker_in_a_24_hour_locale(session, program, run_poke, screenshot):
    session.reg_add(r"HKCU\Control Panel\International", TWENTY_FOUR_HOURS)
    try:
        _, _, picker = laid_out(session, program, run_poke, screenshot, 96)
    finally:
        session.reg_add(r"HKCU\Control Panel\International", US_ENGLISH)
    assert picker[0] == "11:11" and whole(picker), "the picker: %s" % picker


# The first letter stays as it is, all the bytes of its character, and the
# rest is lowered by character, whatever their lengths in UTF-8.
@pytest.mark.parametrize("file_name, caption", [
    ("Рабочий.exe", "Рабочий"),
    ("ÄPFELȺ.exe", "Äpfelⱥ"),  # "ⱥ" takes a byte more than "Ⱥ"
])
def test_error_box_captioned_by_character(session, run_poke, answer_box, file_name, caption):
    program = session.install("Captions", file_name)
    session.write_settings(program, Time="half past")
    session.start_session()
    started = session.launch(program, [])
    answer_box(started, 1)
    session.wait_for_calls(started, in_message_loop, "the program running on")
    run_poke("close")
    [box] = session.finish(program, *started).find("MessageBoxA")
    assert relay_text(box.args[2]) == caption, "%s gave the caption %s" % (file_name, box.args[2])


def test_in_a_folder_named_in_another_script(session, run_poke):
    folder = "\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b"  # Программы
    program = session.install(folder)
    session.write_settings(program, Action="Reboot")
    started = session.launch_in_tray(program)
    run_poke("command", SHOW_SETTINGS)
    session.wait_for_calls(started, settings_shown, "the settings window shown")
    run_poke("click", HIDE_TO_TRAY)  # stores what the window shows
    session.wait_for_calls(started, called("WritePrivateProfileStringA", 4, returned=True),
                           "the window's choices stored")
    run_poke("close")
    session.finish(program, *started)
    with open(session.settings_path(program), encoding="utf-8") as f:
        stored = dict(line.strip().split("=", 1) for line in f if "=" in line)
    assert stored.get("Action") == "Reboot" and stored.get("TimerEnable") == "No", \
        "the settings in %s, read and written there: %s" % (folder, stored)

    run = session.run(program, ["/logoff"])
    assert [r.id for r in run.records] == [2], "records %s" % run.records
    session.start_session()
    session._wine(["reg", "export", REGISTRATION, "C:\\registration.reg", "/y"])
    with open(session.unix_path("C:\\registration.reg"), encoding="utf-16") as f:
        exported = f.read()
    # REG_EXPAND_SZ is exported as the bytes of its UTF-16 text.
    found = re.search(r'"EventMessageFile"=hex\(2\):([0-9a-f,\\\s]+)', exported)
    assert found, "no EventMessageFile in %s" % exported
    data = bytes(int(b, 16) for b in re.findall(r"[0-9a-f]{2}", found.group(1)))
    assert data.decode("utf-16-le").rstrip("\0") == "C:\\%s\\Quennavar.exe" % folder, \
        "EventMessageFile %r" % data.decode("utf-16-le")
