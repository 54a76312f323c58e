"""The resource set of the built launcher, read back from the file: every
entry, every string block, the icon groups and images, the version block and
the manifest, byte for byte where the bytes are fixed."""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools"))
from pe_file import PeFile  # noqa: E402

RT_ICON, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 6, 14, 16, 24

PRODUCT_NAME = "KVX Portable"
# Language: (message format, index of its "%s").
FORMATS = {
    1028: ("無法啟動 %s。使用 KVX Portable安裝程式更新程式。", 5),
    1031: ("%s kann nicht gestartet werden. Aktualisieren Sie das Programm mit dem KVX Portable "
           "Installer.", 0),
    1033: ("Cannot start %s. Use the KVX Portable Installer to update the program.", 13),
    1036: ("Impossible de démarrer %s. Utilisez le Programme d'installation KVX Portable pour "
           "mettre à jour le programme.", 23),
    1040: ("Impossibile avviare %s. Aggiornare il programma mediante l'Utilità di KVX Portable "
           "Installer.", 20),
    1041: ("%s を起動できません。KVX Portable インストーラーを使ってプログラムを更新してください。", 0),
    1042: ("%s을(를) 시작할 수 없습니다. KVX Portable 인스톨러를 사용하여 프로그램을 업데이트합니다.", 0),
    1043: ("Kan %s niet starten. Gebruik het KVX Portable Installer om het programma bij te "
           "werken.", 4),
    1046: ("Não é possível iniciar %s. Use a Ferramenta de Instalador do KVX Portable para "
           "atualizar o programa.", 23),
    1049: ("Не удается запустить %s. Для обновления программы используйте программу установки "
           "KVX Portable.", 21),
    1053: ("Kan inte starta %s. Använd KVX Portable installerare för att uppdatera programmet.",
           16),
    2052: ("无法启动 %s。请使用 KVX Portable安装程序来更新程序。", 5),
    3082: ("No se puede iniciar %s. Utilice la herramienta de Instalador de KVX Portable para "
           "actualizar el programa.", 20),
}
BLOCK_BYTES = {1028: 120, 1031: 244, 1033: 196, 1036: 274, 1040: 242, 1041: 158, 1042: 170,
               1043: 230, 1046: 256, 1049: 246, 1053: 220, 2052: 124, 3082: 266}

# Group entry: width, bit count, colour count, colour-table entries, image bytes.
IMAGES = [(32, 4, 16, 16, 744), (16, 4, 16, 16, 296), (48, 8, 0, 256, 3752),
          (32, 8, 0, 256, 2216), (16, 8, 0, 256, 1384), (48, 32, 0, 0, 9640),
          (32, 32, 0, 0, 4264), (16, 32, 0, 0, 1128)]
STANDARD_16_COLOURS = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
                       (128, 0, 128), (0, 128, 128), (128, 128, 128), (192, 192, 192),
                       (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
                       (0, 255, 255), (255, 255, 255)]

VERSION_STRINGS = [("CompanyName", "Quorvel Corporation"), ("FileDescription", "KVX Portable"),
                   ("FileVersion", "1.3.00.08190"), ("InternalName", "RURA_Win.exe"),
                   ("LegalCopyright", None), ("OriginalFilename", "RURA_Win.exe"),
                   ("ProductName", "KVX Portable"), ("ProductVersion", "5.0.00.08190")]

MANIFEST = "\r\n".join([
    '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">',
    '  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">',
    '    <security>',
    '      <requestedPrivileges>',
    '        <requestedExecutionLevel level="asInvoker" uiAccess="false">'
    '</requestedExecutionLevel>',
    '      </requestedPrivileges>',
    '    </security>',
    '  </trustInfo>',
    '</assembly>']).encode("ascii")

failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)


def check_directory(resources):
    keys = [(r["type"], r["name"], r["language"]) for r in resources]
    expected = ([(RT_ICON, i, 1033) for i in range(1, 17)]
                + [(RT_STRING, 7, language) for language in sorted(FORMATS)]
                + [(RT_GROUP_ICON, 107, 1033), (RT_GROUP_ICON, 108, 1033),
                   (RT_VERSION, 1, 0), (RT_MANIFEST, 1, 1033)])
    expect(len(keys) == 33, "%d resource entries, not 33" % len(keys))
    expect(keys == expected, "entries or their order differ: %s" % keys)
    for r in resources:
        expect(r["codepage"] == 1252, "code page %d in %s" % (r["codepage"], r["type"]))


def string_entries(block):
    entries, at = [], 0
    for _ in range(16):
        (length,) = struct.unpack_from("<H", block, at)
        entries.append(block[at + 2:at + 2 + 2 * length].decode("utf-16-le"))
        at += 2 + 2 * length
    return entries, at


def check_strings(resources):
    for r in (r for r in resources if r["type"] == RT_STRING):
        language = r["language"]
        text, directive = FORMATS[language]
        entries, end = string_entries(r["data"])
        expect(r["size"] == BLOCK_BYTES[language] == 32 + 2 * (12 + len(text)),
               "block %d is %d bytes" % (language, r["size"]))
        expect(end == r["size"], "block %d: bytes after the 16th entry" % language)
        expect(entries[7] == PRODUCT_NAME, "block %d entry 7: %r" % (language, entries[7]))
        expect(entries[15] == text, "block %d entry 15: %r" % (language, entries[15]))
        expect(entries[15].find("%s") == directive and entries[15].count("%") == 1,
               "block %d: directive not where expected" % language)
        expect(all(e == "" for i, e in enumerate(entries) if i not in (7, 15)),
               "block %d: other entries are not empty" % language)


def check_icons(resources):
    images = {r["name"]: r["data"] for r in resources if r["type"] == RT_ICON}
    groups = {r["name"]: r["data"] for r in resources if r["type"] == RT_GROUP_ICON}
    for group_id, first in ((107, 1), (108, 9)):
        group = groups[group_id]
        expect(len(group) == 118, "group %d is %d bytes" % (group_id, len(group)))
        expect(struct.unpack_from("<HHH", group, 0) == (0, 1, 8), "group %d header" % group_id)
        for k, (size, bits, colours, table, nbytes) in enumerate(IMAGES):
            entry = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * k)
            expect(entry == (size, size, colours, 0, 1, bits, nbytes, first + k),
                   "group %d entry %d: %s" % (group_id, k, entry))
            expect(len(images[first + k]) == nbytes,
                   "image %d is %d bytes" % (first + k, len(images[first + k])))
    strip = bytearray(groups[107])
    other = bytearray(groups[108])
    for k in range(8):
        strip[6 + 14 * k + 12:6 + 14 * k + 14] = b"\0\0"
        other[6 + 14 * k + 12:6 + 14 * k + 14] = b"\0\0"
    expect(strip == other, "groups differ beyond their image identifiers")
    for k, (size, bits, colours, table, nbytes) in enumerate(IMAGES):
        image = images[1 + k]
        expect(image == images[9 + k], "images %d and %d differ" % (1 + k, 9 + k))
        header = struct.unpack_from("<IiiHHIIiiII", image, 0)
        expect(header == (40, size, 2 * size, 1, bits, 0, 0, 0, 0, 0, 0),
               "image %d header %s" % (1 + k, header))
        expect(image[:4] != b"\x89PNG", "image %d is PNG" % (1 + k))
        row = ((size * bits + 31) // 32) * 4
        mask_row = ((size + 31) // 32) * 4
        expect(nbytes == 40 + 4 * table + size * row + size * mask_row,
               "image %d size formula" % (1 + k))
        mask = image[40 + 4 * table + size * row:]
        if bits == 4:
            palette = [tuple(image[40 + 4 * i:40 + 4 * i + 3][::-1]) for i in range(16)]
            expect(palette == STANDARD_16_COLOURS, "image %d: not the standard 16 colours" % (1 + k))
            expect(not any(mask), "image %d: 4-bit mask is not clear" % (1 + k))
        if bits == 32:
            alphas = image[40 + 3:40 + size * row:4]
            expect(any(0 < a < 255 for a in alphas), "image %d: no partial alpha" % (1 + k))


def check_version(resources):
    data = next(r["data"] for r in resources if r["type"] == RT_VERSION)

    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", data, at)
        end_key = at + 6
        while data[end_key:end_key + 2] != b"\0\0":
            end_key += 2
        key = data[at + 6:end_key].decode("utf-16-le")
        value_at = (end_key + 2 + 3) & ~3
        children_at = (value_at + (value_length * (2 if kind == 1 else 1)) + 3) & ~3
        return length, value_length, kind, key, value_at, children_at

    def children(at):
        length, _, _, _, _, child = node(at)
        while child < at + length:
            yield child
            child = (child + node(child)[0] + 3) & ~3

    length, value_length, _, key, value_at, _ = node(0)
    expect(key == "VS_VERSION_INFO" and value_length == 52, "root %r %d" % (key, value_length))
    fixed = struct.unpack_from("<13I", data, value_at)
    expect(fixed == (0xFEEF04BD, 0x00010000, 0x00010003, 0x00001FFE, 0x00050000, 0x00001FFE,
                     0x17, 0, 0x4, 0x1, 0, 0, 0), "fixed file info %s" % [hex(v) for v in fixed])
    top = [node(c)[3] for c in children(0)]
    expect(top == ["StringFileInfo", "VarFileInfo"], "version children %s" % top)
    string_info, var_info = list(children(0))
    tables = list(children(string_info))
    expect([node(t)[3] for t in tables] == ["000004b0"], "string tables %s" % tables)
    values = []
    for child in children(tables[0]):
        _, value_length, kind, key, value_at, _ = node(child)
        raw = data[value_at:value_at + 2 * value_length].decode("utf-16-le")
        expect(kind == 1 and raw.endswith("\0") and not raw.endswith("\0\0"),
               "%s: not stored with exactly one terminator" % key)
        values.append((key, raw.rstrip("\0")))
    expect([k for k, _ in values] == [k for k, _ in VERSION_STRINGS], "keys %s" % values)
    for (key, value), (_, wanted) in zip(values, VERSION_STRINGS):
        expect(value == wanted if wanted else "Quorvel Corporation" in value,
               "%s = %r" % (key, value))
    translation = list(children(var_info))
    _, value_length, _, key, value_at, _ = node(translation[0])
    expect(key == "Translation" and struct.unpack_from("<HH", data, value_at) == (0, 0x04B0),
           "translation %r" % key)


def check_manifest(resources):
    data = next(r["data"] for r in resources if r["type"] == RT_MANIFEST)
    expect(len(MANIFEST) == 346 and data == MANIFEST, "manifest differs (%d bytes)" % len(data))


def main(path):
    pe = PeFile(path)
    resources = pe.resources()
    expect(not pe.named_directories(), "a resource carries a string name")
    check_directory(resources)
    check_strings(resources)
    check_icons(resources)
    check_version(resources)
    check_manifest(resources)
    for failure in failures:
        print("FAIL:", failure)
    print("%d resources checked, %d failures" % (len(resources), len(failures)))
    return not failures


if __name__ == "__main__":
    sys.exit(0 if main(sys.argv[1]) else 1)
