"""The release's Windows Installer packages as their tables hold them, and
the winget manifest set scripts/package writes with --url: each of its
fields agrees with the package it names, as msiinfo reads the package."""

import hashlib
import os
import subprocess
import sys
import tempfile

import pytest
import yaml

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "packaging"))
import msi  # noqa: E402

BASE = "https://downloads.example.invalid/quennavar"
SETTINGS = ["STOREDACTION", "ACTIONTIME", "TIMERENABLE", "TERMINATE", "SHOWONCLICK",
            "WARNMINUTES"]


@pytest.fixture(scope="module")
def release():
    """The folder scripts/package wrote, the version, the manifests by kind,
    and the packages by (build, scope)."""
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([os.path.join(ROOT, "scripts", "package"), "--url", BASE, "--out", out],
                       check=True, stdout=subprocess.DEVNULL)
        [version] = os.listdir(os.path.join(out, "winget"))
        folder = os.path.join(out, "winget", version)
        manifests = {}
        for name in os.listdir(folder):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                manifest = yaml.safe_load(f)
            manifests[manifest["ManifestType"]] = manifest
        packages = {(build, scope): os.path.join(out, "Quennavar-%s-%s-%s.msi"
                                                 % (version, build, scope))
                    for build in msi.ARCHES for scope in msi.SCOPES}
        yield out, version, manifests, packages


def summary(package):
    """The summary information as msiinfo prints it: {field: text}."""
    text = subprocess.run(["msiinfo", "suminfo", package], check=True, capture_output=True,
                          text=True).stdout
    return dict(line.split(": ", 1) for line in text.splitlines() if ": " in line)


def test_each_package_installs_its_build_for_its_scope(release):
    out, version, _, packages = release
    for (build, scope), package in packages.items():
        what = "%s %s" % (build, scope)
        info, props = summary(package), msi.properties(package)
        assert info["Template"].split(";")[0] == {"win32": "Intel", "x64": "x64"}[build], what
        # Word count 8: no elevation. A user's package has no ALLUSERS, a
        # machine's has ALLUSERS=1, and the settings it is given reach the
        # installation where it runs elevated.
        assert bool(int(info["Source"].split()[0]) & 8) == (scope == "user"), what
        assert props.get("ALLUSERS") == (None if scope == "user" else "1"), what
        assert set(SETTINGS + ["AUTOSTART"]) <= set(props["SecureCustomProperties"].split(";"))
        [program] = msi.table(package, "File")
        assert program["Version"] == version, "%s: the program file's version" % what
        registry = {row["Name"]: row for row in msi.table(package, "Registry")}
        roots = {row["Root"] for row in registry.values()}
        assert roots == ({"1"} if scope == "user" else {"2"}), "%s writes under %s" % (what, roots)
        if scope == "machine":
            assert registry["EventMessageFile"]["Value"] == "#%[#QuennavarExe]", what
        conditions = {row["Component"]: row["Condition"] for row in msi.table(package, "Component")}
        assert conditions["Autostart"] == 'AUTOSTART <> "0"', what
        keys = {row["Key"]: row for row in msi.table(package, "IniFile")}
        for prop in SETTINGS:
            [(key, row)] = [(k, r) for k, r in keys.items() if r["Value"] == "[%s]" % prop]
            assert conditions[row["Component_"]] == prop, "%s: %s written unasked" % (what, key)
        others = {row["UpgradeCode"] for row in msi.table(package, "Upgrade")
                  if row["ActionProperty"] == "OTHERQUENNAVAR"}
        assert len(others) == 3 and props["UpgradeCode"] not in others, what


def test_three_manifests_of_one_package_and_version(release):
    _, version, manifests, _ = release
    assert sorted(manifests) == ["defaultLocale", "installer", "version"]
    for manifest in manifests.values():
        assert (manifest["PackageIdentifier"], manifest["PackageVersion"]) == \
            ("Quennavar.Quennavar", version)
        assert manifest["ManifestVersion"] == "1.12.0"
    assert manifests["version"]["DefaultLocale"] == manifests["defaultLocale"]["PackageLocale"]
    locale = manifests["defaultLocale"]
    assert all(locale.get(field) for field in ("Publisher", "PackageName", "License",
                                               "ShortDescription", "Tags")), locale


def test_each_installer_entry_is_the_package_it_names(release):
    out, version, manifests, packages = release
    named = set()
    for entry in manifests["installer"]["Installers"]:
        name = entry["InstallerUrl"][len(BASE) + 1:]
        package = os.path.join(out, name)
        assert package in packages.values(), name
        info, props = summary(package), msi.properties(package)
        platform = info["Template"].split(";")[0]
        assert entry["Architecture"] == {"Intel": "x86", "x64": "x64"}[platform]
        assert entry["Scope"] == ("machine" if props.get("ALLUSERS") == "1" else "user")
        with open(package, "rb") as f:
            assert entry["InstallerSha256"] == hashlib.sha256(f.read()).hexdigest().upper()
        assert entry["ProductCode"] == props["ProductCode"]
        assert entry["AppsAndFeaturesEntries"] == [{"UpgradeCode": props["UpgradeCode"]}]
        assert props["ProductVersion"] == version
        named.add(name)
    assert len(named) == 4, "the four packages, each once: %s" % sorted(named)
