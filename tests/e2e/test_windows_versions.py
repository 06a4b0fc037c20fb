"""The program on the Windows versions people run. The 32-bit file: 32-bit
prefixes reporting 2000, XP, 7 and 10, and 64-bit prefixes reporting 10 and
XP x64, where it runs under WoW64. The 64-bit file: a 64-bit prefix reporting
each of them. One prefix of each kind serves all its versions. Suspend and
hibernate follow what the power library answers, so each case reads that
answer from the trace rather than assuming Wine's."""

import re

import pytest

from wine_harness import WineSession, settings_form, program_is_64_bit

REGISTRATION = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Quennavar"
DATE_TIME = re.compile(r"^\d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d{2}:\d{2} [AP]M)?$")
PRIVILEGE = ["OpenProcessToken", "GetTokenInformation", "GetLastError", "LookupPrivilegeValueA",
             "AdjustTokenPrivileges", "AdjustTokenPrivileges", "CloseHandle", "ExitWindowsEx"]
SUSPEND_ITEM, HIBERNATE_ITEM = 106, 107
# The 64-bit program runs in 64-bit prefixes alone; there 2000 and XP are
# reported through the registry.
MATRIX = ([("win64", v) for v in ("win2k", "winxp", "win7", "win10", "winxp64")]
          if program_is_64_bit() else
          [("win32", "win2k"), ("win32", "winxp"), ("win32", "win7"), ("win32", "win10"),
           ("win64", "win10"), ("win64", "winxp64")])


@pytest.fixture(scope="module")
def prefixes(exe):
    """A prefix of each kind, made when first asked for, with the program installed."""
    sessions = {}

    def prefix(arch, version):
        if arch not in sessions:
            session = WineSession(exe, version, display=True, desktop=True, arch=arch,
                                  relay_program_only=True)
            sessions[arch] = (session, session.install())
        return sessions[arch]

    try:
        yield prefix
    finally:
        for session, _ in sessions.values():
            session.close()


# Module scope, so that every case of one version runs before the next
# version is set: setting one costs seconds.
@pytest.fixture(scope="module", params=MATRIX, ids=["-".join(kind) for kind in MATRIX])
def prepared(request, prefixes):
    """The prefix of that kind reporting that version: (arch, version, session, program)."""
    arch, version = request.param
    session, program = prefixes(arch, version)
    session.set_version(version)
    return arch, version, session, program


def allowed(run, query):
    """What the power library answered the program, from the trace."""
    answers = [c.result for c in run.find(query)]
    assert answers and answers.count(answers[0]) == len(answers), \
        "the program asked %s: %s" % (query, answers)
    return answers[0] & 0xFF != 0  # a BOOLEAN: only the low byte counts


def records(run):
    return [(r.type, r.id, r.text if r.type else bool(DATE_TIME.match(r.text or "")))
            for r in run.records]


def test_hibernate_30(prepared):
    _, _, session, program = prepared
    run = session.run(program, ["/hibernate", "30"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    assert allowed(run, "IsPwrHibernateAllowed"), "the library refuses hibernation"
    assert run.timers == ["+1800.0000000"], "timers %s" % run.timers
    effects = [e.split("(")[0] for e in run.effects()]
    assert effects == ["KERNEL32.SetWaitableTimer", "advapi32.ReportEventA",
                       "powrprof.SetSuspendState"], "effects %s" % run.effects()
    assert run.find("SetSuspendState")[0].args == ["00000001", "00000000", "00000000"], \
        "hibernate, no force, wake events on: %s" % run.effects()
    assert records(run) == [(0, 6, True)], "records %s" % run.records


def test_suspend(prepared):
    _, _, session, program = prepared
    run = session.run(program, ["/suspend"])
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    if allowed(run, "IsPwrSuspendAllowed"):
        assert run.find("SetSuspendState") and records(run) == [(0, 5, True)], \
            "allowed, so suspended: %s, records %s" % (run.effects(), run.records)
    else:
        assert not run.find("SetSuspendState"), "nothing suspended: %s" % run.effects()
        assert records(run) == [(1, 101, "!!!")], "records %s" % run.records


@pytest.mark.parametrize("args, flags, event", [
    pytest.param(["/reboot", "/terminate"], 6, 4, id="reboot-terminate"),
    pytest.param(["/logoff"], 0, 2, id="logoff"),
])
def test_exit_actions_and_registration(prepared, args, flags, event):
    _, _, session, program = prepared
    run = session.run(program, args)
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    names = run.names()
    names = names[:names.index("ExitWindowsEx") + 1] if "ExitWindowsEx" in names else names
    sequence = [n for n in names if n in PRIVILEGE]
    assert sequence == PRIVILEGE, "privilege sequence %s" % sequence
    assert run.effects()[:1] == ["user32.ExitWindowsEx(%08x,7fffffff)" % flags], \
        "effects %s" % run.effects()
    assert records(run) == [(0, event, True)], "records %s" % run.records
    text = session._wine(["reg", "query", REGISTRATION])
    assert re.search(r"EventMessageFile\s+REG_EXPAND_SZ\s+C:\\Quennavar\\Quennavar\.exe", text), \
        "registration: %s" % text


def test_tray_menu_and_fade(prepared):
    """The menu greys what the library refuses; the window fades in on XP alone."""
    _, version, session, program = prepared
    session.write_settings(program, Action="Reboot")
    started = session.start_in_tray(program)
    session.show_settings(started)
    run = session.exit_from_tray(program, started)
    assert run.exit_code == 0, "exit code %d; effects %s" % (run.exit_code, run.effects())
    enabled = {c.numbers()[1]: c.numbers()[2] for c in run.find("EnableMenuItem")}
    expected = {SUSPEND_ITEM: 0 if allowed(run, "IsPwrSuspendAllowed") else 1,
                HIBERNATE_ITEM: 0 if allowed(run, "IsPwrHibernateAllowed") else 1}
    assert enabled == expected, "greyed (1) or not (0): %s, expected %s" % (enabled, expected)
    form = settings_form(run.calls)
    shows = [str(c) for c in run.find("ShowWindow") if c.numbers()[:1] == [form]]
    assert [c for c in run.find("ShowWindow") if c.numbers()[:1] == [form] and c.numbers()[1]], \
        "the settings window was shown: %s" % shows
    opacity = [c.numbers()[2] for c in run.find("SetLayeredWindowAttributes")
               if c.numbers()[0] == form]
    if version == "winxp":
        assert opacity[:2] == [255, 0] and opacity[-256:] == list(range(256)), \
            "fades in from 0 to 255: %s" % opacity
    else:
        assert opacity == [255], "shown opaque, no fade: %s" % opacity
