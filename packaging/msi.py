"""Builds Quennavar's Windows Installer packages from quennavar.wxs beside
this file, with wixl and msibuild of msitools, and reads back what they hold.

wixl has no element for a few things the packages need; each is added to
the database after it (see finish()). Two builds of the same program file
and version give the same bytes: wixl writes a random package code and the
time of the build into the summary information, and its cabinet the
program file's time; all three are set here, from the product code and a
given time.
"""

import datetime
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
ARCHES = {"win32": "x86", "x64": "x64"}  # the build's suffix: wixl's architecture

# Settings the installing administrator may give, each written into
# quennavar.ini as the program reads it: property, component, key.
SETTINGS = [("STOREDACTION", "SettingAction", "Action"),
            ("ACTIONTIME", "SettingTime", "Time"),
            ("TIMERENABLE", "SettingTimerEnable", "TimerEnable"),
            ("TERMINATE", "SettingTerminate", "Terminate"),
            ("SHOWONCLICK", "SettingShowOnClick", "ShowOnClick"),
            ("WARNMINUTES", "SettingWarnMinutes", "WarnMinutes")]

# Where the codes of each scope's and build's packages come from: they are
# the same for every build of one version, and new with every version.
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


def finish(package, folder):
    """What wixl leaves out."""
    idt = folder / "IniFile.idt"
    idt.write_text(setting_rows(), encoding="ascii", newline="")
    msibuild(package, "-i", str(idt))
    queries = [
        # Each setting's component, and the Run value, only where asked for.
        *("UPDATE `Component` SET `Condition` = '%s' WHERE `Component` = '%s'" % (prop, component)
          for prop, component, _ in SETTINGS),
        "UPDATE `Component` SET `Condition` = 'AUTOSTART <> \"0\"' WHERE `Component` = 'Autostart'",
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


def build(program, output, build, scope, when, version=None):
    """Writes the package of one scope for one build's program file; its
    version is the program's unless given."""
    version = version or file_version(program)
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
                        "-D", "GuidBase=" + component_codes(build, scope),
                        "-D", "Program=Quennavar.exe", "-o", str(folder / "package.msi"),
                        str(WXS)], cwd=folder, check=True, capture_output=True)
        finish(folder / "package.msi", folder)
        set_summary(folder / "package.msi", str(uuid.uuid5(uuid.UUID(code), "package")).upper(),
                    when)
        shutil.copyfile(folder / "package.msi", output)
    return output


def properties(package):
    """The package's Property table: {name: value}."""
    text = subprocess.run(["msiinfo", "export", str(package), "Property"], check=True,
                          capture_output=True, text=True).stdout
    rows = [line.split("\t", 1) for line in text.splitlines()[3:] if "\t" in line]
    return {name: value for name, value in rows}
