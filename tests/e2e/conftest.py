"""What the Wine suites share: the program file, the helper programs, and a
Wine session per module (its prefix, X display and, with desktop=True, the
virtual desktop with the tray), ended with the module."""

import os

import pytest

from wine_harness import WineSession, called, program_under_test, relay_text, wait_until

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def pytest_configure(config):
    config.addinivalue_line(
        "markers", "wine(**options): how the module's WineSession is made (version, display, "
                   "desktop, arch, monitors)")


def existing_file(variable, default, what):
    path = os.path.abspath(os.environ.get(variable) or default)
    if not os.path.isfile(path):
        pytest.fail("%s is missing: no file %s. Build it with `cmake --preset windows && cmake "
                    "--build --preset windows`, or name it in %s." % (what, path, variable),
                    pytrace=False)
    return path


@pytest.fixture(scope="session")
def exe():
    return existing_file("QUENNAVAR_EXE", program_under_test(), "Quennavar.exe")


@pytest.fixture(scope="session")
def poke(exe):
    """The shell's stand-in, built from helpers/poke.c beside the program."""
    return existing_file("QUENNAVAR_POKE",
                         os.path.join(os.path.dirname(exe), "helpers", "poke.exe"),
                         "The helper poke.exe")


@pytest.fixture(scope="module")
def session(request, exe):
    marker = request.node.get_closest_marker("wine")
    options = dict(relay_program_only=True, **(marker.kwargs if marker else {}))
    with WineSession(exe, **options) as wine:
        yield wine


@pytest.fixture(scope="module")
def program(session):
    """The program's path on the prefix's drive C."""
    return session.install()


@pytest.fixture
def run_poke(session, poke):
    """Runs the shell's stand-in in the session; returns what it printed."""
    return lambda *args: session._wine([poke] + [str(a) for a in args], timeout=600)


@pytest.fixture
def screenshot(session):
    """Saves a screenshot by that name where QUENNAVAR_SCREENSHOTS names a folder."""
    folder = os.environ.get("QUENNAVAR_SCREENSHOTS")
    return lambda name: folder and session.screenshot(os.path.join(folder, name + ".png"))


@pytest.fixture
def answer_box(session, poke, screenshot):
    """Presses Return in the program's n-th message box, once the box has the
    keyboard (a key pressed before would go elsewhere), and waits until it
    is closed; with shot, takes a screenshot of it first. Under load Wine can
    report the box active a moment before X passes it the key: a Return that
    closed nothing in a few seconds is pressed again, up to three times."""
    def answer(started, n, shot=None):
        session.wait_for_calls(started, called("MessageBoxA", n), "message box %d" % n)
        box = [c for c in session.calls_so_far(started) if c.name == "MessageBoxA"][n - 1]
        # The helper writes the title in UTF-8, which its output is read as
        # the OEM code page.
        expected = "#32770\t" + relay_text(box.args[2]).encode("utf-8").decode("cp437")
        active = []

        def has_keyboard():
            active[:] = [session._wine([poke, "keyboard"]).strip()]
            return active[0] == expected

        for attempt in range(3):
            wait_until(has_keyboard, 30, 0.1,
                       lambda: "%s never had the keyboard; the active window: %r" % (box, active))
            if shot and attempt == 0:
                screenshot(shot)
            session.xdotool("key", "Return")
            try:
                session.wait_for_calls(started, called("MessageBoxA", n, returned=True),
                                       "message box %d closed by Return" % n, timeout=5)
                return
            except AssertionError:
                if attempt == 2:
                    raise
    return answer
