"""Builds Quennavar's Windows Installer packages from quennavar.wxs beside
this file, with wixl and msibuild of Debian 12's msitools, and reads back
what they hold.

wixl has no element for a few things the packages need; each is added to
the database after it (see finish()). Two builds of the same program file
give the same bytes with the same msitools: wixl writes a random package
code and the time of the build into the summary information, and its
cabinet the program file's time; all three are set here, from the program
file and a given time.
"""

import hashlib
import os
import shutil
import struct
import subprocess
import tempfile
import uuid
from pathlib import Path

import olefile

WXS = Path(__file__).resolve().parent / "quennavar.wxs"
SCOPES = ("user", "machine")
ARCHES = {"win32": "x86", "x64": "x64"}  # the build's suffix: the package's architecture

# One for each package; they never change, so that each finds the versions
# it replaces, and the other three, which it refuses to stand beside.
UPGRADE_CODES = {("user", "x64"): "3C59B0B1-6F0A-4F8B-9A55-6E2B1D7C4A01",
                 ("user", "win32"): "3C59B0B1-6F0A-4F8B-9A55-6E2B1D7C4A02",
                 ("machine", "x64"): "3C59B0B1-6F0A-4F8B-9A55-6E2B1D7C4A03",
                 ("machine", "win32"): "3C59B0B1-6F0A-4F8B-9A55-6E2B1D7C4A04"}

# Settings the installing administrator may give, each written into
# quennavar.ini as the program reads it: property, component, key.
SETTINGS = [("STOREDACTION", "SettingAction", "Action"),
            ("ACTIONTIME", "SettingTime", "Time"),
            ("TIMERENABLE", "SettingTimerEnable", "TimerEnable"),
            ("TERMINATE", "SettingTerminate", "Terminate"),
            ("SHOWONCLICK", "SettingShowOnClick", "ShowOnClick"),
            ("WARNMINUTES", "SettingWarnMinutes", "WarnMinutes")]

# The package's codes are derived from these: the same for every build of
# one version, new with every version.
NAMESPACE = uuid.UUID("9E3F6C2B-8D41-4A7E-B5C0-1F2D3E4A5B6C")


def file_version(program):
    """The four numbers of the program file's version resource."""
    data = Path(program).read_bytes()
    at = data.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO's signature
    if at < 0:
        raise ValueError("%s has no version resource" % program)
    high, low = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)


def product_code(build, scope, version):
    return str(uuid.uuid5(NAMESPACE, "product %s %s %s" % (build, scope, version))).upper()


def component_codes(build, scope):
    """The first 34 characters of the components' codes: two hex digits
    more make each one's."""
    return str(uuid.uuid5(NAMESPACE, "components %s %s" % (build, scope))).upper()[:34]


def msibuild(package, *arguments):
    subprocess.run(["msibuild", str(package), *arguments], check=True, capture_output=True)


def setting_rows():
    """The IniFile table, in msitools' text form: one key for each setting,
    written by its own component where its property is given (action 0:
    add or replace the line)."""
    lines = ["IniFile\tFileName\tDirProperty\tSection\tKey\tValue\tAction\tComponent_",
             "s72\tl255\tS72\tl96\tl128\tl255\ti2\ts72",
             "IniFile\tIniFile"]
    for prop, component, key in SETTINGS:
        lines.append("%s\tquennavar.ini\tINSTALLFOLDER\tSettings\t%s\t[%s]\t0\t%s"
                     % (component, key, prop, component))
    return "\r\n".join(lines) + "\r\n"


def finish(package, folder, build, scope, version):
    """What wixl leaves out."""
    idt = folder / "IniFile.idt"
    idt.write_text(setting_rows(), encoding="ascii", newline="")
    msibuild(package, "-i", str(idt))
    others = [code for kind, code in UPGRADE_CODES.items() if kind != (scope, build)]
    properties = [prop for prop, _, _ in SETTINGS] + ["AUTOSTART", "OTHERQUENNAVAR"]
    queries = [
        # The version the program file carries: without it Windows counts
        # the file as unversioned, and an upgrade would keep the older one.
        "UPDATE `File` SET `Version` = '%s', `Language` = '1033' WHERE `File` = 'QuennavarExe'"
        % version,
        # Each setting's component, and the Run value, only where asked for.
        *("UPDATE `Component` SET `Condition` = '%s' WHERE `Component` = '%s'" % (prop, component)
          for prop, component, _ in SETTINGS),
        "UPDATE `Component` SET `Condition` = 'AUTOSTART <> \"0\"' WHERE `Component` = 'Autostart'",
        # Passed on to the installation where it runs elevated.
        "UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;%s' "
        "WHERE `Property` = 'SecureCustomProperties'" % ";".join(properties),
        # "#%" makes the value REG_EXPAND_SZ, as the event log reads it:
        # wixl writes every string as REG_SZ.
        "UPDATE `Registry` SET `Value` = '#%[#QuennavarExe]' WHERE `Component_` = 'EventSource'",
        # The settings file goes with the program (2: when it is removed).
        "INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, "
        "`InstallMode`) VALUES ('SettingsFile', 'Program', 'quennavar.ini', 'INSTALLFOLDER', 2)",
        # The settings written, and never taken out one by one: the file
        # goes whole at removal, and an upgrade keeps every key it does not
        # set. So the older version is removed only once the newer one is
        # in, each component shared by the two staying as it is.
        "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteIniValues', 5100)",
        "UPDATE `InstallExecuteSequence` SET `Sequence` = 6700 "
        "WHERE `Action` = 'RemoveExistingProducts'",
        # Another of the four packages installed (the other build, or the
        # other scope) would start a second program at sign-in, and share
        # the program's folder, Run value or event source with this one:
        # found (2: only detected), it stops an installation, not a removal.
        *("INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `Attributes`, `ActionProperty`) "
          "VALUES ('{%s}', '0.0.0', 258, 'OTHERQUENNAVAR')" % code for code in others),
        "INSERT INTO `LaunchCondition` (`Condition`, `Description`) VALUES ('Installed OR NOT "
        "OTHERQUENNAVAR', 'Another package of Quennavar, for the other build or for %s, is "
        "installed. Remove it first to install this one.')"
        % ("all users" if scope == "user" else "one user"),
    ]
    for query in queries:
        msibuild(package, "-q", query)


def filetime(when):
    """A FILETIME: 100-nanosecond steps since 1601, UTC."""
    return (int(when) + 11644473600) * 10_000_000


def set_summary(package, package_code, when):
    """Sets the package code and the times of creation and last save in the
    summary information, whose size they do not change, in place."""
    stream = "\x05SummaryInformation"
    with olefile.OleFileIO(str(package), write_mode=True) as ole:
        data = bytearray(ole.openstream(stream).read())
        section = struct.unpack_from("<I", data, 44)[0]  # the one property set's
        count = struct.unpack_from("<I", data, section + 4)[0]
        for i in range(count):
            pid, offset = struct.unpack_from("<II", data, section + 8 + 8 * i)
            at = section + offset
            kind = struct.unpack_from("<I", data, at)[0]
            if pid == 9 and kind == 30:  # the package code, a string
                text = ("{%s}" % package_code).encode("ascii") + b"\0"
                if struct.unpack_from("<I", data, at + 4)[0] != len(text):
                    raise ValueError("the package code has another length in %s" % package)
                data[at + 8:at + 8 + len(text)] = text
            elif pid in (12, 13) and kind == 64:  # created, last saved
                struct.pack_into("<Q", data, at + 4, filetime(when))
        ole.write_stream(stream, bytes(data))


def write(program, output, build, scope, when):
    """Writes the package of one scope for one build's program file, its
    version the program's. Windows Installer tells versions apart by their
    first three numbers alone, so the fourth must be 0."""
    version = file_version(program)
    if not version.endswith(".0"):
        raise ValueError("version %s: Windows Installer would not tell it from %s.0"
                         % (version, version.rsplit(".", 1)[0]))
    code = product_code(build, scope, version)
    output = Path(output).resolve()
    with tempfile.TemporaryDirectory() as work:
        folder = Path(work)
        # wixl takes a file's source relative to where it runs, and its
        # cabinet keeps the file's time: the given one, not the build's.
        shutil.copyfile(program, folder / "Quennavar.exe")
        os.utime(folder / "Quennavar.exe", (when, when))
        subprocess.run(["wixl", "-a", ARCHES[build], "-D", "Arch=" + ARCHES[build],
                        "-D", "Scope=" + scope, "-D", "Version=" + version,
                        "-D", "ProductCode=" + code,
                        "-D", "UpgradeCode=" + UPGRADE_CODES[(scope, build)],
                        "-D", "GuidBase=" + component_codes(build, scope),
                        "-D", "Program=Quennavar.exe", "-o", str(folder / "package.msi"),
                        str(WXS)], cwd=folder, check=True, capture_output=True)
        finish(folder / "package.msi", folder, build, scope, version)
        # Another program file (another commit, or signed) makes another package.
        contents = hashlib.sha256(Path(program).read_bytes()).hexdigest()
        set_summary(folder / "package.msi", str(uuid.uuid5(uuid.UUID(code), contents)).upper(),
                    when)
        shutil.copyfile(folder / "package.msi", output)
    return output


def table(package, name):
    """A table of the package as rows of {column: value}."""
    text = subprocess.run(["msiinfo", "export", str(package), name], check=True,
                          capture_output=True, text=True).stdout.splitlines()
    columns = text[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in text[3:] if line]


def properties(package):
    """The package's Property table: {name: value}."""
    return {row["Property"]: row["Value"] for row in table(package, "Property")}
