"""The built launcher is a 32-bit Unicode GUI program for Windows 5.0 and up
that imports only DLLs every Windows installation has."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
from pe_file import PeFile  # noqa: E402

# What the launcher may import: DLLs that every Windows carries and that the
# loader takes from the system folder. MinGW runtime DLLs are not on a user's
# machine; WINTRUST and CRYPT32 are bound at run time from the system folder,
# since a static import would take a copy planted beside the launcher.
ALLOWED_DLLS = {"KERNEL32.DLL", "USER32.DLL", "SHELL32.DLL", "MSVCRT.DLL"}


def check(exe, link_map):
    pe = PeFile(exe)
    failures = []

    def expect(condition, message):
        if not condition:
            failures.append(message)

    expect(pe.machine == 0x14C and pe.magic == 0x10B,
           "machine 0x%x, magic 0x%x: not a PE32 i386 file" % (pe.machine, pe.magic))
    expect(pe.subsystem == 2, "subsystem %d is not the Windows GUI" % pe.subsystem)
    expect((pe.subsystem_major, pe.subsystem_minor) == (5, 0),
           "subsystem version %d.%d is not 5.0" % (pe.subsystem_major, pe.subsystem_minor))
    dlls = pe.imported_dlls()
    expect("KERNEL32.DLL" in (d.upper() for d in dlls), "no KERNEL32 import: %s" % dlls)
    for dll in dlls:
        expect(dll.upper() in ALLOWED_DLLS, "imports %s, outside the allowed system DLLs" % dll)
    # -municode links the Unicode start-up (crt2u), which calls wWinMain.
    with open(link_map, encoding="latin-1") as f:
        text = f.read()
    expect("crt2u.o" in text, "the Unicode start-up code is not linked")
    expect("wWinMain@16" in text, "wWinMain is not linked")
    for failure in failures:
        print("FAIL:", failure)
    print("imports:", ", ".join(dlls))
    return not failures


if __name__ == "__main__":
    sys.exit(0 if check(sys.argv[1], sys.argv[2]) else 1)
