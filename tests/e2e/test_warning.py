"""The warning before the daily action, on a real clock minute: a Reboot set
two minutes ahead. Two sessions run side by side, as a reboot ends the Wine
session it runs in: in one nobody clicks, and a Hibernate with no warning
time runs beside the Reboot; in the other the balloon is clicked."""

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
    """One copy of the program in a session: when its balloon and its action
    were first seen, by the wall clock, and its run once it has ended."""

    def __init__(self, session, folder, **settings):
        self.session = session
        self.program = session.install(folder)
        session.write_settings(self.program, TimerEnable="Yes", **settings)
        self.started = self.balloon = self.exit = self.run = None
        self.alive = False  # still running when the minute of its action was over
        self.balloon_shown = False  # by the shell

    def look(self):
        calls = self.session.calls_so_far(self.started)
        now = datetime.datetime.now()
        if self.balloon is None and balloons(calls):
            self.balloon = now
        if self.exit is None and any(c.name == "ExitWindowsEx" for c in calls):
            self.exit = now


def run_session(exe, poke, due, copies, click):
    """Starts the copies in a session of their own and follows them until the
    minute of the action has had a tick or two. The first copy's balloon is
    awaited on the screen; with click, it is then clicked (after a screenshot)."""
    with WineSession(exe, "winxp", display=True, desktop=True, relay_program_only=True) as session:
        made = [Copy(session, folder, **settings) for folder, settings in copies]
        session.start_session()
        for copy in made:
            copy.started = session.launch(copy.program, [])
            session.wait_for_calls(copy.started, in_message_loop, "%s in the tray" % copy.program)
        # Ticks come every 10 s: by 25 s into the minute two have come in it.
        while datetime.datetime.now() < due + datetime.timedelta(seconds=25):
            for copy in made:
                copy.look()
            first = made[0]
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
        for copy in made:
            copy.alive = copy.started[0].poll() is None
        session.stop_session()
        for copy in made:
            copy.run = session.finish(copy.program, *copy.started)
        return made


@pytest.fixture(scope="module")
def due():
    """The action's minute: two minutes ahead, three where this one is nearly
    over, so that every copy runs before the minute of its warning."""
    now = datetime.datetime.now()
    return minute_of(now) + datetime.timedelta(minutes=3 if now.second > 40 else 2)


@pytest.fixture(scope="module")
def sessions(exe, poke, due):
    stored = due.strftime("%I:%M:%S %p").lstrip("0")
    plans = {
        "unclicked": ([("Reboot", dict(Action="Reboot", Time=stored)),
                       ("Hibernate", dict(Action="Hibernate", Time=stored, WarnMinutes="0"))],
                      False),
        "clicked": ([("Clicked", dict(Action="Reboot", Time=stored))], True),
    }
    results, errors = {}, []

    def follow(name, copies, click):
        try:
            results[name] = run_session(exe, poke, due, copies, click)
        except BaseException as error:
            errors.append(error)

    threads = [threading.Thread(target=follow, args=(name, *plan)) for name, plan in plans.items()]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    if errors:
        raise errors[0]
    return results


def test_warned_in_the_minute_before_and_rebooted_at_the_minute(sessions, due):
    reboot = sessions["unclicked"][0]
    assert reboot.balloon and minute_of(reboot.balloon) == due - datetime.timedelta(minutes=1), \
        "the balloon came at %s, for an action at %s" % (reboot.balloon, due)
    assert len(balloons(reboot.run.calls)) == 1 and reboot.balloon_shown, \
        "one balloon, shown by the shell: %s" % reboot.run.effects()
    assert reboot.exit and minute_of(reboot.exit) == due, \
        "the reboot came at %s, for %s" % (reboot.exit, due)
    assert reboot.run.effects()[:1] == ["user32.ExitWindowsEx(00000006,7fffffff)"], \
        "effects %s" % reboot.run.effects()
    assert [r.id for r in reboot.run.records] == [4], "records %s" % reboot.run.records


def test_no_warning_time_no_balloon(sessions):
    hibernate = sessions["unclicked"][1]
    assert hibernate.balloon is None and balloons(hibernate.run.calls) == [], \
        "WarnMinutes=0 showed a balloon: %s" % hibernate.run.effects()


def test_a_click_on_the_balloon_skips_the_reboot(sessions, due):
    clicked = sessions["clicked"][0]
    assert clicked.balloon, "no balloon to click: %s" % clicked.run.effects()
    assert clicked.exit is None and not clicked.run.find("ExitWindowsEx"), \
        "rebooted after all: %s" % clicked.run.effects()
    assert [(r.type, r.id, r.text) for r in clicked.run.records] == [(0, 10, "Reboot")], \
        "records %s" % clicked.run.records
    assert clicked.alive, "the program ended before the minute of its action was over"
