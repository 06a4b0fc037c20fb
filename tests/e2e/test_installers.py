"""The Windows Installer packages of the program under test, installed,
upgraded and removed with Wine's msiexec, and a sign-in that starts the
installed program: a new session whose wineboot runs the Run keys.

Wine's Windows Installer puts a machine's Start-menu shortcuts in the
installing user's Programs folder, not in all users' (a known gap of its
own); the shortcut is looked for in either."""

import configparser
import datetime
import glob
import os
import re
import subprocess
import sys

import pytest

from wine_harness import is_64_bit, wait_until

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "packaging"))
import msi  # noqa: E402

pytestmark = pytest.mark.wine(version="win10", display=True, desktop=True)

RUN_KEY = r"Software\Microsoft\Windows\CurrentVersion\Run"
EVENT_SOURCE = r"HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Quennavar"
OLDER = "0.9.0.0"


@pytest.fixture(scope="module")
def build(exe):
    return "x64" if is_64_bit(exe) else "win32"


@pytest.fixture(scope="module")
def packages(session, exe, build):
    """The packages of the program under test, and a machine package of the
    same program built at an older version."""
    folder = os.path.join(session.root, "packages")
    os.makedirs(folder)
    toolchain = "mingw-x86_64.cmake" if build == "x64" else "mingw-i686.cmake"
    older = os.path.join(session.root, "older")
    subprocess.run(["cmake", "-S", ROOT, "-B", older, "-G", "Ninja", "--toolchain",
                    os.path.join(ROOT, "cmake", toolchain), "-DCMAKE_BUILD_TYPE=MinSizeRel",
                    "-DQUENNAVAR_VERSION=" + OLDER], check=True, capture_output=True)
    subprocess.run(["cmake", "--build", older, "--target", "Quennavar"], check=True,
                   capture_output=True)
    when = int(datetime.datetime.now().timestamp())
    made = {scope: msi.write(exe, os.path.join(folder, scope + ".msi"), build, scope, when)
            for scope in msi.SCOPES}
    made["older"] = msi.write(os.path.join(older, "Quennavar.exe"),
                              os.path.join(folder, "older.msi"), build, "machine", when)
    return made


def msiexec(session, *args):
    """msiexec's exit code (its low byte, as Linux passes it on). The session
    ends first, so that no program a sign-in started holds its file."""
    session.stop_session()
    return subprocess.run([session.wine, "msiexec", *args], env=session.env, cwd=session.root,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=300).returncode


def on_z(path):
    """A file of this machine's as Wine's drive Z shows it."""
    return "Z:" + str(path).replace("/", "\\")


def install(session, package, *properties):
    code = msiexec(session, "/i", on_z(package), "/qn", *properties)
    assert code == 0, "msiexec /i %s %s ended with %d" % (package, properties, code)


def remove(session, package):
    code = msiexec(session, "/x", on_z(package), "/qn")
    assert code == 0, "msiexec /x %s ended with %d" % (package, code)


def has_key(session, key):
    return any(line.strip() == key.replace("HKLM", "HKEY_LOCAL_MACHINE")
               for line in session._wine(["reg", "query", key]).splitlines())


def registry_value(session, key, name):
    """(type, data) of a registry value, or None where there is none."""
    for line in session._wine(["reg", "query", key, "/v", name]).splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0] == name:
            return parts[1], parts[2] if len(parts) == 3 else ""
    return None


def drive_c(session, *parts):
    return os.path.join(session.prefix, "drive_c", *parts)


def machine_folder(session):
    """Where the machine package puts the program: the Program Files of its
    build, which is the prefix's own."""
    return drive_c(session, "Program Files", "Quennavar")


def user_folder(session):
    found = glob.glob(drive_c(session, "users", "*", "AppData", "Local"))
    return os.path.join(found[0], "Programs", "Quennavar")


def shortcuts(session, every_users=True):
    """The Start-menu shortcuts: in the user's Programs folder, and where
    asked, in every user's."""
    found = glob.glob(drive_c(session, "users", "*", "AppData", "Roaming", "Microsoft", "Windows",
                              "Start Menu", "Programs", "Quennavar.lnk"))
    if every_users:
        found += glob.glob(drive_c(session, "ProgramData", "Microsoft", "Windows", "Start Menu",
                                   "Programs", "Quennavar.lnk"))
    return found


def settings(folder):
    """The keys of the settings file's one section, "Settings"."""
    ini = configparser.ConfigParser(interpolation=None)
    ini.optionxform = str  # the keys as written
    ini.read(os.path.join(folder, "quennavar.ini"), encoding="utf-8")
    assert ini.sections() == ["Settings"], "sections %s" % ini.sections()
    return dict(ini["Settings"])


def windows_path(session, unix_path):
    return "C:\\" + os.path.relpath(unix_path, drive_c(session)).replace("/", "\\")


def left_behind(session, folder, root):
    """What a removal must take away and did not."""
    left = [path for path in [folder] + shortcuts(session) if os.path.exists(path)]
    if registry_value(session, root + "\\" + RUN_KEY, "Quennavar"):
        left.append(root + " Run value")
    if has_key(session, EVENT_SOURCE):
        left.append("the event source")
    return left


@pytest.fixture
def installed(session):
    """Installs packages for a test, and removes each at its end, whatever
    became of the test, so that the next one starts from a clean machine."""
    packages = []

    def install_package(package, *properties):
        install(session, package, *properties)
        packages.append(package)
    yield install_package
    for package in reversed(packages):
        msiexec(session, "/x", on_z(package), "/qn")


def refused(session, package):
    """Whether Windows Installer refused the package (ERROR_INSTALL_FAILURE,
    1603, of which Linux passes on the low byte)."""
    return msiexec(session, "/i", on_z(package), "/qn") == 1603 % 256


def test_machine_installer_with_settings_then_sign_in(session, packages, poke, installed):
    # Within the warning time from now, so that a warning soon shows the
    # schedule was armed from the installed file.
    at = (datetime.datetime.now() + datetime.timedelta(minutes=30)).strftime("%I:%M:%S %p")
    given = {"Action": "Hibernate", "Time": at.lstrip("0"), "TimerEnable": "Yes",
             "WarnMinutes": "60"}
    installed(packages["machine"], "STOREDACTION=Hibernate", "ACTIONTIME=" + given["Time"],
              "TIMERENABLE=Yes", "WARNMINUTES=60")
    folder = machine_folder(session)
    program = windows_path(session, os.path.join(folder, "Quennavar.exe"))
    assert msi.file_version(os.path.join(folder, "Quennavar.exe")) == msi.file_version(
        session.exe), "the program under test, in its Program Files"
    assert shortcuts(session), "no Start-menu shortcut"
    assert registry_value(session, "HKLM\\" + RUN_KEY, "Quennavar") == ("REG_SZ",
                                                                        '"%s"' % program)
    assert registry_value(session, EVENT_SOURCE, "EventMessageFile") == ("REG_EXPAND_SZ", program)
    assert settings(folder) == given, "the settings file holds exactly the keys given"

    session.start_session()  # a sign-in: wineboot runs the Run keys
    wait_until(session.tray_icon_shown, 60, 0.5, "the installed program shows no tray icon")
    wait_until(lambda: session._wine([poke, "balloon"]).strip() == "shown", 60, 1,
               "no warning of the installed schedule")

    assert refused(session, packages["older"]), "an older version was not refused"
    assert refused(session, packages["user"]), "the user's package installed beside it"
    assert msi.file_version(os.path.join(folder, "Quennavar.exe")) == msi.file_version(session.exe)

    remove(session, packages["machine"])
    assert left_behind(session, folder, "HKLM") == []


def test_no_run_value_with_autostart_0(session, packages, installed):
    installed(packages["machine"], "AUTOSTART=0")
    assert registry_value(session, "HKLM\\" + RUN_KEY, "Quennavar") is None
    assert not os.path.exists(os.path.join(machine_folder(session), "quennavar.ini")), \
        "a settings file without settings given"


def machine_registry(session, product_code):
    """Where a package could write under HKLM (its software and services
    keys) as reg exports it, but for Windows Installer's own records of what
    it installed: Wine keeps even a user's entry of installed programs here,
    where Windows keeps it in the user's keys."""
    own = ("\\CurrentVersion\\Installer\\", "\\CurrentVersion\\Uninstall\\" + product_code)
    sections = set()
    for key in ("HKLM\\Software", "HKLM\\System\\CurrentControlSet\\Services"):
        session._wine(["reg", "export", key, "C:\\machine.reg", "/y"])
        with open(drive_c(session, "machine.reg"), encoding="utf-16") as f:
            sections |= {section for section in re.split(r"\n(?=\[)", f.read())
                         if not any(part in section.split("\n", 1)[0] for part in own)}
    return sections


def test_user_installer_writes_nothing_under_hklm(session, packages, installed):
    code = msi.properties(packages["user"])["ProductCode"]
    before = machine_registry(session, code)
    installed(packages["user"], "SHOWONCLICK=No")
    folder = user_folder(session)
    assert msi.file_version(os.path.join(folder, "Quennavar.exe")) == msi.file_version(session.exe)
    assert shortcuts(session, every_users=False), "no shortcut in the user's Start menu"
    program = windows_path(session, os.path.join(folder, "Quennavar.exe"))
    assert registry_value(session, "HKCU\\" + RUN_KEY, "Quennavar") == ("REG_SZ", '"%s"' % program)
    assert settings(folder) == {"ShowOnClick": "No"}
    assert machine_registry(session, code) ^ before == set(), "the user's installer wrote under HKLM"
    remove(session, packages["user"])
    assert left_behind(session, folder, "HKCU") == []


def test_upgrade_keeps_the_settings_it_does_not_set(session, packages, installed):
    installed(packages["older"], "STOREDACTION=Reboot")
    folder = machine_folder(session)
    assert msi.file_version(os.path.join(folder, "Quennavar.exe")) == OLDER
    with open(os.path.join(folder, "quennavar.ini"), "a", newline="\r\n") as f:
        f.write("Terminate=No\n")  # as the settings window writes it later
    installed(packages["machine"], "TIMERENABLE=Yes")
    assert msi.file_version(os.path.join(folder, "Quennavar.exe")) == msi.file_version(session.exe)
    assert settings(folder) == {"Action": "Reboot", "Terminate": "No", "TimerEnable": "Yes"}
    remove(session, packages["machine"])
    assert left_behind(session, folder, "HKLM") == []
