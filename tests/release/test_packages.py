"""The winget manifest set scripts/package writes with --url: each field
agrees with the package it names, as the package itself and msiinfo read it."""

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


@pytest.fixture(scope="module")
def release():
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
        yield out, version, manifests


def test_three_manifests_of_one_package_and_version(release):
    out, version, manifests = release
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
    out, version, manifests = release
    named = set()
    for entry in manifests["installer"]["Installers"]:
        name = entry["InstallerUrl"][len(BASE) + 1:]
        package = os.path.join(out, name)
        build = {"x86": "win32", "x64": "x64"}[entry["Architecture"]]
        assert name == "Quennavar-%s-%s-%s.msi" % (version, build, entry["Scope"])
        with open(package, "rb") as f:
            assert entry["InstallerSha256"] == hashlib.sha256(f.read()).hexdigest().upper()
        codes = msi.properties(package)
        assert entry["ProductCode"] == codes["ProductCode"]
        assert entry["AppsAndFeaturesEntries"] == [{"UpgradeCode": codes["UpgradeCode"]}]
        assert codes["ProductVersion"] == version
        named.add(name)
    assert len(named) == 4, "the four packages, each once: %s" % sorted(named)
