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
        if self.magic != 0x10B:
            raise ValueError("not PE32 (magic 0x%x)" % self.magic)
        self.entry_rva = struct.unpack_from("<I", d, opt + 16)[0]
        self.image_base = struct.unpack_from("<I", d, opt + 28)[0]
        (self.os_major, self.os_minor, _, _, self.subsystem_major,
         self.subsystem_minor) = struct.unpack_from("<HHHHHH", d, opt + 40)
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", d, opt + 68)
        self.checksum = struct.unpack_from("<I", d, opt + 64)[0]
        count = struct.unpack_from("<I", d, opt + 92)[0]
        self.directories = [struct.unpack_from("<II", d, opt + 96 + 8 * i) for i in range(count)]
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
