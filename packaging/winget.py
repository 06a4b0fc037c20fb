"""Writes the winget manifest set of one version: its version, installer and
default locale files, naming the four Windows Installer packages at the
address they will be published under."""

import hashlib
from pathlib import Path

import msi

IDENTIFIER = "Quennavar.Quennavar"
SCHEMA = "1.12.0"

PUBLISHER = "Quennavar"
LICENSE = "Proprietary"
SHORT_DESCRIPTION = ("Logs off, locks, shuts down, suspends or hibernates the computer, at once "
                     "or every day at a chosen time, with a warning first.")
TAGS = ["shutdown", "reboot", "hibernate", "suspend", "logoff", "lock", "scheduler", "tray"]


def header(kind):
    return ("# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json\n\n"
            % (kind, SCHEMA))


def footer(kind):
    return "ManifestType: %s\nManifestVersion: %s\n" % (kind, SCHEMA)


def identity(version):
    return "PackageIdentifier: %s\nPackageVersion: %s\n" % (IDENTIFIER, version)


def installer_entry(base_url, package, build, scope):
    codes = msi.properties(package)
    return ("- Architecture: %s\n"
            "  Scope: %s\n"
            "  InstallerUrl: %s/%s\n"
            "  InstallerSha256: %s\n"
            "  ProductCode: '%s'\n"
            "  AppsAndFeaturesEntries:\n"
            "  - UpgradeCode: '%s'\n"
            % (msi.ARCHES[build], scope, base_url.rstrip("/"), package.name,
               hashlib.sha256(package.read_bytes()).hexdigest().upper(),
               codes["ProductCode"], codes["UpgradeCode"]))


def write(folder, base_url, version, packages):
    """packages: (path, build, scope) of each. Returns the files written."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    files = {
        "version": header("version") + identity(version) + "DefaultLocale: en-US\n"
        + footer("version"),
        "installer": header("installer") + identity(version)
        + "InstallerType: msi\nInstallModes:\n- silent\n- silentWithProgress\n"
          "UpgradeBehavior: install\nInstallers:\n"
        + "".join(installer_entry(base_url, *package) for package in packages)
        + footer("installer"),
        "defaultLocale": header("defaultLocale") + identity(version)
        + "PackageLocale: en-US\nPublisher: %s\nPackageName: Quennavar\nLicense: %s\n"
          "ShortDescription: %s\nTags:\n%s" % (PUBLISHER, LICENSE, SHORT_DESCRIPTION,
                                                "".join("- %s\n" % tag for tag in TAGS))
        + footer("defaultLocale"),
    }
    names = {"version": IDENTIFIER + ".yaml", "installer": IDENTIFIER + ".installer.yaml",
             "defaultLocale": IDENTIFIER + ".locale.en-US.yaml"}
    written = []
    for kind, text in files.items():
        path = folder / names[kind]
        path.write_text(text, encoding="utf-8", newline="\n")
        written.append(path)
    return written
