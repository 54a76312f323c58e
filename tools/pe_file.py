"""A small reader for the parts of a PE file that the tests look at."""
import struct


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("no MZ header")
        self.pe_offset = struct.unpack_from("<I", d, 0x3C)[0]
        if d[self.pe_offset:self.pe_offset + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = self.pe_offset + 4
        (self.machine, self.section_count, self.timestamp, _, _, self.optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", d, coff)
        opt = coff + 20
        self.magic = struct.unpack_from("<H", d, opt)[0]
        if self.magic not in (0x10B, 0x20B):
            raise ValueError("neither PE32 nor PE32+ (magic 0x%x)" % self.magic)
        # PE32+ (64-bit) widens the image base and moves the data directories.
        wide = self.magic == 0x20B
        self.entry_rva = struct.unpack_from("<I", d, opt + 16)[0]
        (self.os_major, self.os_minor, _, _, self.subsystem_major,
         self.subsystem_minor) = struct.unpack_from("<HHHHHH", d, opt + 40)
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", d, opt + 68)
        self.checksum_offset = opt + 64
        self.checksum = struct.unpack_from("<I", d, self.checksum_offset)[0]
        count_at = opt + (108 if wide else 92)
        count = struct.unpack_from("<I", d, count_at)[0]
        self.directories = [struct.unpack_from("<II", d, count_at + 4 + 8 * i)
                            for i in range(count)]
        self.sections = []
        table = opt + self.optional_size
        for i in range(self.section_count):
            name, vsize, rva, raw_size, raw_ptr = struct.unpack_from("<8sIIII", d, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), rva, vsize, raw_ptr,
                                  raw_size))

    def offset(self, rva):
        for _, start, vsize, raw_ptr, raw_size in self.sections:
            if start <= rva < start + max(vsize, raw_size):
                return raw_ptr + rva - start
        raise ValueError("rva 0x%x outside every section" % rva)

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def imported_dlls(self):
        rva, size = self.directories[1]
        names = []
        if not size:
            return names
        at = self.offset(rva)
        while True:
            entry = struct.unpack_from("<IIIII", self.data, at)
            if not any(entry):
                return names
            names.append(self.c_string(entry[3]))
            at += 20

    def resources(self):
        """Every resource data entry, in directory order, as dictionaries with
        type, name, language, rva, size, codepage, data, and entry_offset (the
        file offset of its IMAGE_RESOURCE_DATA_ENTRY)."""
        rva, size = self.directories[2]
        if not size:
            return []
        base = self.offset(rva)
        found = []

        def directory(at):
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            entries = []
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                entries.append((name, target))
            return entries

        for type_id, type_target in directory(base):
            for name_id, name_target in directory(base + (type_target & 0x7FFFFFFF)):
                for language, data_target in directory(base + (name_target & 0x7FFFFFFF)):
                    entry = base + data_target
                    data_rva, data_size, codepage, _ = struct.unpack_from("<IIII", self.data,
                                                                          entry)
                    start = self.offset(data_rva)
                    found.append({
                        "type": type_id, "name": name_id, "language": language,
                        "rva": data_rva, "size": data_size, "codepage": codepage,
                        "data": self.data[start:start + data_size], "entry_offset": entry,
                    })
        return found

    def named_directories(self):
        """True when any resource directory level holds a string name."""
        rva, size = self.directories[2]
        base = self.offset(rva)

        def walk(at, depth):
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            if named:
                return True
            if depth == 2:
                return False
            for i in range(numbered):
                target = struct.unpack_from("<I", self.data, at + 16 + 8 * i + 4)[0]
                if walk(base + (target & 0x7FFFFFFF), depth + 1):
                    return True
            return False

        return walk(base, 0)
