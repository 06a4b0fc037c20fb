"""The warning before the daily action, on a real clock minute: a Reboot set
a few minutes ahead. Two sessions run side by side, as a reboot ends the Wine
session it runs in. In one nobody clicks, and a Hibernate with no warning
time runs beside the Reboot. In the other the helper sends the notice a
click on the warning brings (Wine's shell sends none itself), once the
action's minute has come but before the tick that would run it; beside it
a Hibernate whose settings file turns unreadable is asked for its menu."""

import contextlib
import datetime
import math
import os
import threading
import time

import pytest

from wine_harness import WineSession, called, in_message_loop, wait_until

NIM_MODIFY = 1
BALLOON_USER_CLICK = 0x0400 + 5
RIGHT_BUTTON_DOWN = 0x204
HIBERNATE_NOW = "powrprof.SetSuspendState(00000001,00000000,00000000)"
TICK = datetime.timedelta(seconds=10)


def balloons(calls):
    """The program's icon changes once it waits for messages. Where nothing
    reads the settings again after the start, the tip stays as it was set
    then: each later change is a balloon."""
    loop = next((i for i, c in enumerate(calls) if c.name == "GetMessageA"), len(calls))
    return [c for c in calls[loop:]
            if c.name == "Shell_NotifyIconA" and c.numbers()[:1] == [NIM_MODIFY]]


def minute_of(moment):
    return moment.replace(second=0, microsecond=0)


class Copy:
    """One copy of the program in a session: when it was waiting in the tray,
    when its balloon and its actions were first seen, by the wall clock, and
    its run once it has ended."""

    def __init__(self, session, folder, **settings):
        self.session = session
        self.folder = folder
        self.program = session.install(folder)
        self.settings = settings
        self.started = self.ready = self.balloon = self.exit = self.slept = self.run = None
        self.alive = False  # still running when the minute of its action was over
        self.balloon_shown = False  # by the shell
        self.clicked_at = None  # as the helper that clicked read the clock

    def start(self, stored_time):
        self.session.write_settings(self.program, TimerEnable="Yes", Time=stored_time,
                                    **self.settings)
        self.started = self.session.launch(self.program, [])
        self.session.wait_for_calls(self.started, in_message_loop, "%s in the tray" % self.program)
        self.ready = datetime.datetime.now()

    def next_tick(self):
        """The moment of the timer's next tick, by the wall clock: each tick
        reads the clock, and nothing else in the tray does."""
        def ticks():
            return len([c for c in self.session.calls_so_far(self.started)
                        if c.name == "GetLocalTime"])
        seen = ticks()
        wait_until(lambda: ticks() > seen, 15, 0.02, "no tick of %s" % self.program)
        return datetime.datetime.now()

    def stop(self):
        """Ends this copy alone, its trace unread and gone."""
        process, trace, path = self.started
        process.kill()
        process.wait()
        trace.close()
        self.session.live.pop(path, None)
        os.remove(path)

    def look(self):
        calls = self.session.calls_so_far(self.started)
        now = datetime.datetime.now()
        if self.balloon is None and balloons(calls):
            self.balloon = now
        if self.exit is None and any(c.name == "ExitWindowsEx" for c in calls):
            self.exit = now
        if self.slept is None and any(c.name == "SetSuspendState" for c in calls):
            self.slept = now


def start_between_ticks(copy, stored_time):
    """Starts the copy so that no tick of its timer comes in the first two
    seconds of a minute, where a click in the action's minute could not come
    before it. Started again, later by what its ticks missed, where one does."""
    for _ in range(4):
        launched = datetime.datetime.now()
        copy.start(stored_time)
        tick = copy.next_tick()
        into_ten = (tick - minute_of(tick)).total_seconds() % 10
        if into_ten >= 2:
            return
        copy.stop()
        while datetime.datetime.now() < launched + TICK + datetime.timedelta(
                seconds=5.5 - into_ten):
            time.sleep(0.02)
    raise AssertionError("the copy's ticks kept coming at the start of a minute")


def click_time(copy, due):
    """Halfway between the start of the action's minute and the tick in it
    that would run the action, as the copy's ticks fall now."""
    tick = copy.next_tick()
    first = tick + TICK * math.ceil((due - tick) / TICK)
    assert first - due >= datetime.timedelta(seconds=1), \
        "the first tick in the action's minute comes at %s" % first
    return due + (first - due) / 2


def follow(session, poke, copies, due, click):
    """Follows the copies of one session until the minute of the action has
    had a tick or two. The first copy's balloon is awaited on the screen;
    with click, the helper then clicks it in the action's minute, halfway to
    the tick that would run the action (after a screenshot)."""
    clicker = None
    # Ticks come every 10 s: by 25 s into the minute two have come in it.
    while datetime.datetime.now() < due + datetime.timedelta(seconds=25):
        for copy in copies:
            copy.look()
        first = copies[0]
        if first.balloon and not first.balloon_shown:
            # The shell shows a balloon a moment after it is asked to.
            wait_until(lambda: session._wine([poke, "balloon"]).strip() == "shown", 15, 0.5,
                       "the shell showed no balloon")
            first.balloon_shown = True
            if click:
                folder = os.environ.get("QUENNAVAR_SCREENSHOTS")
                if folder:
                    session.screenshot(os.path.join(folder, "warning-balloon.png"))
                at = click_time(first, due).strftime("%H:%M:%S.%f")[:-3]

                def send():
                    said = session._wine([poke, "notify", str(BALLOON_USER_CLICK), "--in",
                                          first.folder, "--at", at])
                    first.clicked_at = said.split()[-1] if said.startswith("sent") else said
                clicker = threading.Thread(target=send)
                clicker.start()
        time.sleep(0.2)
    if clicker:
        clicker.join()
    for copy in copies:
        copy.alive = copy.started[0].poll() is None
    session.stop_session()
    for copy in copies:
        copy.run = session.finish(copy.program, *copy.started)


@pytest.fixture(scope="module")
def scheduled(exe, poke):
    """Both sessions made first, then the action's minute chosen, so that
    every copy starts before the minute of its warning. Returns it and the
    copies by name."""
    with contextlib.ExitStack() as stack:
        unclicked, clicked = (stack.enter_context(WineSession(
            exe, "winxp", display=True, desktop=True, relay_program_only=True))
            for _ in range(2))
        copies = {"reboot": Copy(unclicked, "Reboot", Action="Reboot"),
                  "hibernate": Copy(unclicked, "Hibernate", Action="Hibernate", WarnMinutes="0"),
                  "clicked": Copy(clicked, "Clicked", Action="Reboot"),
                  "unreadable": Copy(clicked, "Unreadable", Action="Hibernate", WarnMinutes="0")}
        for session in (unclicked, clicked):
            session.start_session()
        # Time enough for the clicked copy to be started again a few times.
        now = datetime.datetime.now()
        due = minute_of(now) + datetime.timedelta(minutes=4 if now.second > 20 else 3)
        stored = due.strftime("%I:%M:%S %p").lstrip("0")
        start_between_ticks(copies["clicked"], stored)
        for name, copy in copies.items():
            if name != "clicked":
                copy.start(stored)

        # A folder of the settings file's name cannot be read as it: the
        # menu's reading of it fails, and the schedule stays as armed.
        unreadable = copies["unreadable"]
        settings = clicked.settings_path(unreadable.program)
        os.remove(settings)
        os.mkdir(settings)
        clicked._wine([poke, "notify", str(RIGHT_BUTTON_DOWN), "--in", unreadable.folder])
        clicked.wait_for_calls(unreadable.started, called("MessageBoxA"), "the error box")

        assert all(c.ready < due - datetime.timedelta(minutes=1) for c in copies.values()), \
            "a copy was not in the tray before its warning minute: %s" % (
                [(name, c.ready) for name, c in copies.items()],)

        errors = []

        def run(*args):
            try:
                follow(*args)
            except BaseException as error:  # the test reports it
                errors.append(error)

        threads = [threading.Thread(target=run, args=args) for args in (
            (unclicked, poke, [copies["reboot"], copies["hibernate"]], due, False),
            (clicked, poke, [copies["clicked"], copies["unreadable"]], due, True))]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        if errors:
            raise errors[0]
        return due, copies


def test_warned_in_the_minute_before_and_rebooted_at_the_minute(scheduled):
    due, copies = scheduled
    reboot = copies["reboot"]
    assert reboot.balloon and minute_of(reboot.balloon) == due - datetime.timedelta(minutes=1), \
        "the balloon came at %s, for an action at %s" % (reboot.balloon, due)
    assert len(balloons(reboot.run.calls)) == 1 and reboot.balloon_shown, \
        "one balloon, shown by the shell: %s" % reboot.run.effects()
    assert reboot.exit and minute_of(reboot.exit) == due, \
        "the reboot came at %s, for %s" % (reboot.exit, due)
    assert reboot.run.effects()[:1] == ["user32.ExitWindowsEx(00000006,7fffffff)"], \
        "effects %s" % reboot.run.effects()
    assert [r.id for r in reboot.run.records] == [4], "records %s" % reboot.run.records


def test_no_warning_time_no_balloon(scheduled):
    hibernate = scheduled[1]["hibernate"]
    assert hibernate.balloon is None and balloons(hibernate.run.calls) == [], \
        "WarnMinutes=0 showed a balloon: %s" % hibernate.run.effects()


def test_a_click_in_the_actions_minute_before_its_tick_skips_the_reboot(scheduled):
    due, copies = scheduled
    clicked = copies["clicked"]
    assert clicked.balloon_shown, "no balloon to click: %s" % clicked.run.effects()
    assert clicked.clicked_at and clicked.clicked_at.startswith(due.strftime("%H:%M:")), \
        "the click came at %s, not in the minute of %s" % (clicked.clicked_at, due)
    assert clicked.exit is None and not clicked.run.find("ExitWindowsEx"), \
        "rebooted after all: %s" % clicked.run.effects()
    assert [(r.type, r.id, r.text) for r in clicked.run.records] == [(0, 10, "Reboot")], \
        "records %s" % clicked.run.records
    assert clicked.alive, "the program ended before the minute of its action was over"


def test_an_unreadable_settings_file_leaves_the_armed_hibernate_as_it_was(scheduled):
    due, copies = scheduled
    unreadable = copies["unreadable"]
    boxes = [c.args[1] for c in unreadable.run.find("MessageBoxA")]
    assert boxes == ['"Unable to read C:\\\\Unreadable\\\\quennavar.ini."'], "boxes %s" % boxes
    assert unreadable.slept and minute_of(unreadable.slept) == due, \
        "hibernated at %s, for %s" % (unreadable.slept, due)
    effects = unreadable.run.effects()
    assert HIBERNATE_NOW in effects and not unreadable.run.find("ExitWindowsEx") and \
        [(r.type, r.id) for r in unreadable.run.records] == [(0, 6)], \
        "the stored Hibernate ran, nothing else: %s" % effects
