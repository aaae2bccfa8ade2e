"""Reads the import table of a Windows program or library without running it.

Plain Python, no Windows: the shipped 32-bit files cannot be started where the
tests run, so what they ask of the system is read from the files themselves.
Handles PE32 and PE32+ files, imports by name and by ordinal, and the delay-load
table (a delayed import still needs its DLL and function at first call).
"""
import struct


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise PeError("not a Windows program file (no MZ header)")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic == 0x10B:
            self.bits, directories = 32, optional + 96
        elif magic == 0x20B:
            self.bits, directories = 64, optional + 112
        else:
            raise PeError("unknown optional header 0x%x" % magic)
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), va, max(vsize, rawsize), rawptr, rawsize))

    def offset(self, rva):
        for _, va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rawsize:
                    raise PeError("address 0x%x lies in uninitialised data" % rva)
                return rawptr + rva - va
        raise PeError("address 0x%x is in no section" % rva)

    def text(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("latin-1")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def _thunks(self, rva):
        """The names (or "#ordinal") of one DLL's import lookup table."""
        size, flag = (8, 1 << 63) if self.bits == 64 else (4, 1 << 31)
        pos = self.offset(rva)
        while True:
            value = int.from_bytes(self.data[pos:pos + size], "little")
            if value == 0:
                return
            if value & flag:
                yield "#%d" % (value & 0xFFFF)
            else:
                yield self.text((value & 0x7FFFFFFF) + 2)
            pos += size

    def imports(self):
        """(dll lower-cased, function) pairs, ordinary and delay-loaded."""
        out = []
        rva, _ = self.directory(1)
        if rva:
            pos = self.offset(rva)
            while True:
                lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, pos)
                if name == 0:
                    break
                dll = self.text(name).lower()
                for function in self._thunks(lookup or first):
                    out.append((dll, function))
                pos += 20
        rva, _ = self.directory(13)
        if rva:
            pos = self.offset(rva)
            while True:
                attributes, name, _, _, names = struct.unpack_from("<IIIII", self.data, pos)
                if name == 0:
                    break
                dll = self.text(name).lower()
                for function in self._thunks(names):
                    out.append((dll, function))
                pos += 32
        return out


def read_imports(path):
    with open(path, "rb") as f:
        pe = PeFile(f.read())
    return pe.bits, pe.imports()
