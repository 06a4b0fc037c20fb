"""Libraries planted beside the program, as a download can leave them there
in Downloads: with Wine told to search as Windows does, a file in the
program's folder before its own, the program loads none of them, from the
command line or from the tray with its settings window open."""

import os
import shutil

import pytest

from wine_harness import relay_text

pytestmark = pytest.mark.wine(version="winxp", display=True, desktop=True)

PLANTED = ("powrprof.dll", "comctl32.dll")
VERSION_LABEL = 1004


@pytest.fixture(scope="module")
def folder(session, program, poke):
    """The program's folder, with the planted libraries and the helper beside
    the program, and Wine searching a program's folder first for them."""
    planted = os.environ.get("QUENNAVAR_PLANTED") or os.path.join(os.path.dirname(poke),
                                                                  "planted.dll")
    where = os.path.dirname(session.unix_path(program))
    for name in PLANTED:
        shutil.copy(planted, os.path.join(where, name))
    shutil.copy(poke, os.path.join(where, "poke.exe"))
    session.env["WINEDLLOVERRIDES"] += ";powrprof,comctl32=n,b"
    return where


def marks(folder):
    """The planted libraries that were loaded, each once it was; the marks go."""
    loaded = sorted(name[:-len(".loaded")] for name in os.listdir(folder)
                    if name.endswith(".loaded"))
    for name in loaded:
        os.remove(os.path.join(folder, name + ".loaded"))
    return loaded


def loads(run):
    return [relay_text(c.args[0]) for c in run.find("LoadLibraryExA")]


def test_a_bare_name_finds_the_planted_libraries(session, folder):
    """The control: a program that asks by name alone gets the planted files."""
    session.start_session()
    for name in PLANTED:
        said = session._wine([os.path.join(folder, "poke.exe"), "load", name])
        assert said.strip() == "loaded", "poke could not load %s: %r" % (name, said)
    assert marks(folder) == sorted(PLANTED), "the planted libraries were not found by name"


@pytest.mark.parametrize("version", ["winxp", "win10"])
@pytest.mark.parametrize("args, record", [(["/suspend"], (1, 101)), (["/hibernate", "5"], (0, 6))],
                         ids=["suspend", "hibernate-5"])
def test_switches_load_nothing_planted(session, program, folder, version, args, record):
    session.set_version(version)
    try:
        run = session.run(program, args)
    finally:
        session.set_version("winxp")
    assert marks(folder) == [], "a planted library was loaded"
    assert [(r.type, r.id) for r in run.records] == [record], "records %s" % run.records
    asked = loads(run)
    assert asked and all(path.lower().endswith("\\system32\\powrprof.dll") for path in asked), \
        "the power library from the system folder alone: %s" % asked


def test_the_tray_and_its_window_load_nothing_planted(session, program, folder):
    started = session.start_in_tray(program)
    session.show_settings(started)
    run = session.exit_from_tray(program, started)
    assert marks(folder) == [], "a planted library was loaded"
    asked = {path.lower().rsplit("\\", 1)[-1]: path for path in loads(run)}
    assert {"shell32.dll", "comctl32.dll", "version.dll", "powrprof.dll"} <= set(asked), \
        "every late library was asked for: %s" % asked
    assert all("\\system32\\" in path.lower() for path in asked.values()), \
        "each from the system folder: %s" % asked
    label = [c.result for c in run.find("CreateWindowExA") if c.numbers()[-3] == VERSION_LABEL]
    texts = [c.args[1] for c in run.find("SetWindowTextA") if c.numbers()[:1] == label]
    assert texts == ['"1.0.0.0"'], "the version label: %s" % texts
