"""The warning before the daily action, on a real clock minute: a Reboot set
two minutes ahead. Two sessions run side by side, as a reboot ends the Wine
session it runs in: in one nobody clicks, and a Hibernate with no warning
time runs beside the Reboot; in the other the helper sends the icon the
notice a click on the balloon brings (Wine's shell sends none itself)."""

import contextlib
import datetime
import os
import threading
import time

import pytest

from wine_harness import WineSession, in_message_loop, wait_until

NIM_MODIFY = 1
BALLOON_USER_CLICK = 0x0400 + 5


def balloons(calls):
    """The program's icon changes once it waits for messages. Nothing here
    reads the settings again after the start, so the tip stays as it was
    set then: each later change is a balloon."""
    loop = next((i for i, c in enumerate(calls) if c.name == "GetMessageA"), len(calls))
    return [c for c in calls[loop:]
            if c.name == "Shell_NotifyIconA" and c.numbers()[:1] == [NIM_MODIFY]]


def minute_of(moment):
    return moment.replace(second=0, microsecond=0)


class Copy:
    """One copy of the program in a session: when it was waiting in the tray,
    when its balloon and its action were first seen, by the wall clock, and
    its run once it has ended."""

    def __init__(self, session, folder, **settings):
        self.session = session
        self.program = session.install(folder)
        self.settings = settings
        self.started = self.ready = self.balloon = self.exit = self.run = None
        self.alive = False  # still running when the minute of its action was over
        self.balloon_shown = False  # by the shell

    def start(self, stored_time):
        self.session.write_settings(self.program, TimerEnable="Yes", Time=stored_time,
                                    **self.settings)
        self.started = self.session.launch(self.program, [])
        self.session.wait_for_calls(self.started, in_message_loop, "%s in the tray" % self.program)
        self.ready = datetime.datetime.now()

    def look(self):
        calls = self.session.calls_so_far(self.started)
        now = datetime.datetime.now()
        if self.balloon is None and balloons(calls):
            self.balloon = now
        if self.exit is None and any(c.name == "ExitWindowsEx" for c in calls):
            self.exit = now


def follow(session, poke, copies, due, click):
    """Follows the copies of one session until the minute of the action has
    had a tick or two. The first copy's balloon is awaited on the screen;
    with click, the helper then clicks it (after a screenshot)."""
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
                session._wine([poke, "notify", str(BALLOON_USER_CLICK)])
        time.sleep(0.2)
    for copy in copies:
        copy.alive = copy.started[0].poll() is None
    session.stop_session()
    for copy in copies:
        copy.run = session.finish(copy.program, *copy.started)


@pytest.fixture(scope="module")
def scheduled(exe, poke):
    """Both sessions made first, then the action's minute chosen: two minutes
    ahead, three where this one is nearly over, so that every copy starts
    before the minute of its warning. Returns it and the copies by name."""
    with contextlib.ExitStack() as stack:
        unclicked, clicked = (stack.enter_context(WineSession(
            exe, "winxp", display=True, desktop=True, relay_program_only=True))
            for _ in range(2))
        copies = {"reboot": Copy(unclicked, "Reboot", Action="Reboot"),
                  "hibernate": Copy(unclicked, "Hibernate", Action="Hibernate", WarnMinutes="0"),
                  "clicked": Copy(clicked, "Clicked", Action="Reboot")}
        for session in (unclicked, clicked):
            session.start_session()
        now = datetime.datetime.now()
        due = minute_of(now) + datetime.timedelta(minutes=3 if now.second > 40 else 2)
        for copy in copies.values():
            copy.start(due.strftime("%I:%M:%S %p").lstrip("0"))
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
            (clicked, poke, [copies["clicked"]], due, True))]
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


def test_a_click_on_the_balloon_skips_the_reboot(scheduled):
    clicked = scheduled[1]["clicked"]
    assert clicked.balloon_shown, "no balloon to click: %s" % clicked.run.effects()
    assert clicked.exit is None and not clicked.run.find("ExitWindowsEx"), \
        "rebooted after all: %s" % clicked.run.effects()
    assert [(r.type, r.id, r.text) for r in clicked.run.records] == [(0, 10, "Reboot")], \
        "records %s" % clicked.run.records
    assert clicked.alive, "the program ended before the minute of its action was over"
