"""A small reader of Windows program files (PE32 and PE32+): the header
fields the loader checks, the import and delay-import tables, the export
names and the resources. Raises ValueError on anything it cannot follow, so a
damaged or truncated file never reads as "imports nothing"."""
import struct

IMPORT_DIR, EXPORT_DIR, RESOURCE_DIR, DELAY_IMPORT_DIR = 1, 0, 2, 13


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = self._u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, nsections = struct.unpack_from("<HH", data, pe + 4)
        opt_size = struct.unpack_from("<H", data, pe + 20)[0]
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        if magic not in (0x10B, 0x20B):
            raise ValueError("unknown optional header magic %#x" % magic)
        self.is64 = magic == 0x20B
        self.entry_point = self._u32(opt + 16)
        (self.os_version, self.image_version, self.subsystem_version) = [
            struct.unpack_from("<HH", data, opt + off) for off in (40, 44, 48)]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        ndirs_at = opt + (108 if self.is64 else 92)
        ndirs = self._u32(ndirs_at)
        self.dirs = [struct.unpack_from("<II", data, ndirs_at + 4 + 8 * i) for i in range(min(ndirs, 16))]
        self.sections = []
        table = opt + opt_size
        for i in range(nsections):
            s = table + 40 * i
            vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((vaddr, max(vsize, raw_size), raw_ptr, raw_size))

    def _u32(self, off):
        return struct.unpack_from("<I", self.data, off)[0]

    def offset(self, rva):
        for vaddr, vsize, raw_ptr, raw_size in self.sections:
            if vaddr <= rva < vaddr + vsize:
                if rva - vaddr >= raw_size:
                    raise ValueError("RVA %#x lies in uninitialised data" % rva)
                return raw_ptr + rva - vaddr
        raise ValueError("RVA %#x is in no section" % rva)

    def cstring(self, rva):
        off = self.offset(rva)
        end = self.data.index(b"\0", off)
        return self.data[off:end].decode("latin-1")

    def directory(self, index):
        return self.dirs[index] if index < len(self.dirs) else (0, 0)

    def _thunks(self, rva):
        """Names (or "#ordinal") of one import lookup table."""
        width, flag = (8, 1 << 63) if self.is64 else (4, 1 << 31)
        off = self.offset(rva)
        while True:
            value = int.from_bytes(self.data[off:off + width], "little")
            if value == 0:
                return
            if value & flag:
                yield "#%d" % (value & 0xFFFF)
            else:
                yield self.cstring((value & 0x7FFFFFFF) + 2)
            off += width

    def imports(self):
        """(dll, function) of the import and the delay-import tables."""
        out = []
        rva, _ = self.directory(IMPORT_DIR)
        if rva:
            off = self.offset(rva)
            while True:
                lookup, _, _, name, iat = struct.unpack_from("<IIIII", self.data, off)
                if name == 0:
                    break
                dll = self.cstring(name)
                out += [(dll, f) for f in self._thunks(lookup or iat)]
                off += 20
        rva, _ = self.directory(DELAY_IMPORT_DIR)
        if rva:
            off = self.offset(rva)
            while True:
                fields = struct.unpack_from("<IIIIIIII", self.data, off)
                attrs, name, lookup = fields[0], fields[1], fields[4]
                if name == 0:
                    break
                # Old-style descriptors hold addresses instead of RVAs.
                base = 0 if attrs & 1 else self._image_base()
                dll = self.cstring(name - base)
                out += [(dll, f) for f in self._thunks(lookup - base)]
                off += 32
        return out

    def _image_base(self):
        pe = self._u32(0x3C)
        fmt = "<Q" if self.is64 else "<I"
        return struct.unpack_from(fmt, self.data, pe + 24 + (24 if self.is64 else 28))[0]

    def exports(self):
        rva, _ = self.directory(EXPORT_DIR)
        if not rva:
            return set()
        off = self.offset(rva)
        nnames, names = self._u32(off + 24), self._u32(off + 32)
        return {self.cstring(self._u32(self.offset(names) + 4 * i)) for i in range(nnames)}

    def resource(self, type_id, name_id):
        """Bytes of the first language of resource type_id/name_id, or None."""
        rva, _ = self.directory(RESOURCE_DIR)
        if not rva:
            return None
        root = self.offset(rva)

        def find(table, wanted):
            named, ids = struct.unpack_from("<HH", self.data, table + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, table + 16 + 8 * i)
                if wanted is None or (not key & 0x80000000 and key == wanted):
                    return target
            return None

        table = root
        for wanted in (type_id, name_id):
            t = find(table, wanted)
            if t is None or not t & 0x80000000:
                return None
            table = root + (t & 0x7FFFFFFF)
        t = find(table, None)  # the first language
        if t is None or t & 0x80000000:
            return None
        target = root + t
        data_rva, size = struct.unpack_from("<II", self.data, target)
        start = self.offset(data_rva)
        return self.data[start:start + size]


def read(path):
    with open(path, "rb") as f:
        return PeFile(f.read())
