"""The built Quennavar.exe is one self-contained GUI program file, 32- or
64-bit, that carries its message table, version information and icon."""

import os
import struct
import xml.etree.ElementTree as ElementTree

import pytest

RT_BITMAP, RT_ICON, RT_MESSAGETABLE, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 2, 3, 11, 14, 16, 24
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll", "shell32.dll",
               "gdi32.dll", "comctl32.dll", "version.dll"}

EXPECTED_MESSAGES = {
    1: "System shutdown at %1 %0", 2: "System logoff at %1 %0",
    3: "System poweroff at %1 %0", 4: "System reboot at %1 %0",
    5: "System suspend at %1 %0", 6: "System hibernate at %1 %0",
    7: "System wake up after suspend at %1 %0", 8: "System wake up after hibernate at %1 %0",
    9: "System locked at %1 %0", 10: "Scheduled %1 skipped at %2 %0",
    101: "System does not support suspend %1 %0", 102: "System does not support hibernate %1 %0",
    103: "System does not support wake up (ACPI required) %1 %0",
}


class PortableExecutable:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        assert self.data[pe:pe + 4] == b"PE\0\0", "not a PE file"
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH",
                                                                               self.data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", self.data, optional)[0]
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", self.data,
                                                                      optional + 68)
        # PE32+ widens the image base and the four sizes before the directories.
        directories = optional + (112 if self.magic == 0x20B else 96)
        self.import_rva = struct.unpack_from("<I", self.data, directories + 8)[0]
        self.resource_rva = struct.unpack_from("<I", self.data, directories + 16)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", self.data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raw))

    def offset(self, rva):
        for vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        raise ValueError("address %x is in no section" % rva)

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def imported_dlls(self):
        dlls, entry = [], self.offset(self.import_rva)
        while True:
            lookup, _, _, name, thunk = struct.unpack_from("<IIIII", self.data, entry)
            if not (lookup or name or thunk):
                return dlls
            dlls.append(self.c_string(name).lower())
            entry += 20

    def resources(self):
        """{(type, name): [data bytes per language]}; names are ids or strings."""
        base = self.offset(self.resource_rva)
        found = {}

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if key & 0x80000000:
                    at = base + (key & 0x7FFFFFFF)
                    length = struct.unpack_from("<H", self.data, at)[0]
                    key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield key, target

        for rtype, type_dir in entries(0):
            for name, name_dir in entries(type_dir & 0x7FFFFFFF):
                for _, leaf in entries(name_dir & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    at = self.offset(rva)
                    found.setdefault((rtype, name), []).append(self.data[at:at + size])
        return found


@pytest.fixture(scope="module")
def image(exe):
    return PortableExecutable(exe)


# The machine and optional header the build's processor makes: the build says
# which (the 32-bit one when run by hand).
IMAGE_KIND = {"i686": (0x14C, 0x10B), "x86_64": (0x8664, 0x20B)}


def test_one_gui_file_for_its_processor(image):
    expected = IMAGE_KIND[os.environ.get("QUENNAVAR_PROCESSOR") or "i686"]
    assert (image.machine, image.magic) == expected, \
        "machine %#x, magic %#x: not the image its build makes" % (image.machine, image.magic)
    assert image.subsystem == 2, "subsystem %d is not the GUI one" % image.subsystem
    # Terminal-server aware: a Remote Desktop server applies no shims to it.
    assert image.dll_characteristics & 0x8000, \
        "DLL characteristics %#x: not terminal-server aware" % image.dll_characteristics
    foreign = set(image.imported_dlls()) - SYSTEM_DLLS
    assert not foreign, "needs DLLs that do not come with Windows: %s" % sorted(foreign)
    assert "powrprof.dll" not in image.imported_dlls(), "powrprof.dll must not be imported"
    # A switch needs neither the shell, nor the common controls, nor the
    # version library: they are loaded when the tray icon and the settings
    # window first need them.
    late = {"shell32.dll", "comctl32.dll", "version.dll"} & set(image.imported_dlls())
    assert not late, "imported, so loaded at every start: %s" % sorted(late)


# The agreed limits, to the byte: each file as last measured, with what each
# feature cost it in docs/performance.md. A change that grows the file moves
# the limit on purpose, with its reason there; nothing the program keeps out
# (the demangler, the standard exceptions' copy-on-write strings, the C
# runtime's printf, a pthread emulation: 26 KB or more each) comes back
# unseen. The 64-bit file is smaller: its exceptions unwind by tables, where
# the 32-bit one carries a DWARF unwinder.
SIZE_LIMIT = {0x14C: 216_576, 0x8664: 184_320}


def test_small_program_file(exe, image):
    size, limit = os.path.getsize(exe), SIZE_LIMIT[image.machine]
    assert size <= limit, "Quennavar.exe is %d bytes, more than %d" % (size, limit)


def test_message_table(image):
    tables = image.resources().get((RT_MESSAGETABLE, 1))
    assert tables and len(tables) == 1, "one message table, name 1"
    data = tables[0]
    blocks = struct.unpack_from("<I", data, 0)[0]
    messages = {}
    for b in range(blocks):
        low, high, offset = struct.unpack_from("<III", data, 4 + 12 * b)
        for ident in range(low, high + 1):
            length, flags = struct.unpack_from("<HH", data, offset)
            assert flags == 0, "message %d is not single-byte text" % ident
            messages[ident] = data[offset + 4:offset + length].rstrip(b"\0").decode("latin-1")
            offset += length
    assert blocks == 2, "two blocks expected, got %d" % blocks
    assert set(messages) == set(EXPECTED_MESSAGES), "ids %s" % sorted(messages)
    for ident, text in EXPECTED_MESSAGES.items():
        assert messages[ident] == text + "\r\n", "message %d is %r" % (ident, messages[ident])


def test_version_information(image):
    versions = image.resources().get((RT_VERSION, 1))
    assert versions, "no version resource"
    block = versions[0]
    utf16 = lambda text: text.encode("utf-16-le")
    assert utf16("040904E4") in block, "no string table for 0409/04E4"
    at = block.index(utf16("FileVersion"))
    value = block[at + len(utf16("FileVersion")):].lstrip(b"\0")
    value = value[:value.index(b"\0\0") + 1].decode("utf-16-le")
    assert value and all(part.isdigit() for part in value.split(".")), \
        "FileVersion %r is not a version" % value
    at = block.index(utf16("Translation"))
    translation = block[at + len(utf16("Translation")):].lstrip(b"\0")[:4]
    assert struct.unpack("<HH", translation) == (0x0409, 1252), "translation %r" % translation


def bitmap_header(data):
    """Width, height and bits per pixel of a BITMAPINFOHEADER; None for
    anything else (a PNG image)."""
    if struct.unpack_from("<I", data)[0] != 40:
        return None
    width, height, _, bits = struct.unpack_from("<iiHH", data, 4)
    return width, height, bits


# The sizes the tray asks for at 100 to 200 % and the window's logo up to
# 150 %, with alpha, each a bitmap: XP reads no PNG entry below 256 pixels.
def test_main_icon(image):
    resources = image.resources()
    groups = resources.get((RT_GROUP_ICON, "MAINICON"))
    assert groups, "no icon group MAINICON"
    group = groups[0]
    entries = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
               for i in range(struct.unpack_from("<H", group, 4)[0])]
    images = sorted((width or 256, bitmap_header(resources[(RT_ICON, number)][0]))
                    for width, _, _, _, _, _, _, number in entries)
    assert images == [(s, (s, 2 * s, 32)) for s in (16, 20, 24, 32, 40, 48)], \
        "icon images (size, (width, height with mask, bits)): %s" % images


# The menu's seven pictures, each drawn at the sizes the program chooses
# from, at 24 bits.
def test_menu_pictures(image):
    sizes = {"": 16, "_20": 20, "_24": 24, "_32": 32}
    pictures = {}
    for (rtype, name), data in image.resources().items():
        if rtype == RT_BITMAP:
            base, suffix = (name[:-3], name[-3:]) if name[-3:] in sizes else (name, "")
            pictures.setdefault(base, {})[sizes[suffix]] = bitmap_header(data[0])
    assert len(pictures) == 7, "pictures %s" % sorted(pictures)
    for base, drawn in pictures.items():
        assert drawn == {s: (s, s, 24) for s in sizes.values()}, "%s drawn at %s" % (base, drawn)


# Windows Vista, 7, 8, 8.1, and 10 and 11.
SUPPORTED_OS = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}


ASM_V1, ASM_V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS = (ASM_V3 + "application", ASM_V3 + "windowsSettings")
SMI = "{http://schemas.microsoft.com/SMI/%s/WindowsSettings}"
# Where Windows reads each entry, under the assembly, and what it must say
# there (in an attribute, or as its text): the same entry elsewhere is not read.
MANIFEST_ENTRIES = [
    # The user's own rights, so that no write is redirected behind them.
    (tuple(ASM_V3 + name for name in ("trustInfo", "security", "requestedPrivileges",
                                      "requestedExecutionLevel")), "level", ["asInvoker"]),
    (tuple(COMPATIBILITY + name for name in ("compatibility", "application", "supportedOS")), "Id",
     sorted(SUPPORTED_OS)),
    # Aware of the system's DPI, each Windows reading its own entry; UTF-8 for
    # the ANSI calls, so that a folder named in any script reaches them whole.
    (SETTINGS + (SMI % 2005 + "dpiAware",), None, ["true"]),
    (SETTINGS + (SMI % 2016 + "dpiAwareness",), None, ["system"]),
    (SETTINGS + (SMI % 2019 + "activeCodePage",), None, ["UTF-8"]),
]


def test_manifest(image):
    manifests = image.resources().get((RT_MANIFEST, 1))
    assert manifests and len(manifests) == 1, "one application manifest, id 1"
    root = ElementTree.fromstring(manifests[0])
    assert root.tag == ASM_V1 + "assembly"
    for path, attribute, expected in MANIFEST_ENTRIES:
        placed = sorted(element.get(attribute) if attribute else (element.text or "").strip()
                        for element in root.findall("/".join(path)))
        assert placed == expected, "%s: %s" % (path[-1], placed)
        assert len(list(root.iter(path[-1]))) == len(placed), "%s stands elsewhere too" % path[-1]
    # Classic controls: the window was laid out and coloured for them.
    assert not list(root.iter(ASM_V1 + "dependency")), "it asks for a version of the common controls"

