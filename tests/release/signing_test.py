"""What a rebuild takes a published signature on, each against a table of
small files made here: what an RPM package's signature covers, and whether a
published Windows program, its signature removed, is the rebuilt one in every
byte that its signature covers."""
import struct
import unittest

import signing

# An RPM package: <entries>, <size of their data>, <padding to 8 bytes> of its
# signature header. The numbers are big-endian: 16 entries and 256 bytes catch
# one read the other way.
RPM = [(0, 0, 0), (1, 3, 5), (2, 8, 0), (16, 256, 0), (0, 1, 7)]

# A Windows program: <where its PE header starts>, <what the rebuild made of
# it>, <the published one, signature removed>, <alike>. A change is
# <offset>=<byte>, or +<bytes> at the end, or -<n> bytes off it; the checksum
# stands 88 bytes into the PE header.
PE = [(64, "", "", True),
      (64, "", "152=11", True),
      (64, "", "155=11", True),
      (128, "", "216=11", True),
      (64, "", "+00000000000000", True),
      (64, "", "+0000000000000000", False),
      (64, "", "+0000000000000001", False),
      (64, "", "+01", False),
      (64, "", "151=11", False),
      (64, "", "156=11", False),
      (128, "", "152=11", False),
      (64, "", "-1", False),
      (64, "+00", "-0", False)]


def changed(program, change):
    if "=" in change:
        at, byte = change.split("=")
        return program[:int(at)] + bytes.fromhex(byte) + program[int(at) + 1:]
    if change.startswith("+"):
        return program + bytes.fromhex(change[1:])
    if change.startswith("-"):
        return program[:len(program) - int(change[1:])]
    return program


class SignedContent(unittest.TestCase):
    def test_rpm_signature_covers_what_follows_its_header(self):
        covered = bytes.fromhex("8eade801000000000000000500c0ffee")
        for entries, size, padding in RPM:
            with self.subTest(entries=entries, size=size):
                package = (b"\xed" * 96 + bytes.fromhex("8eade80100000000") + struct.pack(">II", entries, size)
                           + b"\xab" * (16 * entries + size + padding) + covered)
                self.assertEqual(signing.rpm_signed(package), covered)

    def test_pe_alike_but_for_its_checksum_and_padding(self):
        for pe, ours, theirs, alike in PE:
            with self.subTest(pe=pe, rebuilt=ours, published=theirs):
                # 256 bytes, each its own offset, with the PE header's place at 0x3c.
                program = bytes(range(0x3c)) + struct.pack("<I", pe) + bytes(range(0x40, 256))
                self.assertEqual(signing.pe_alike(changed(program, theirs), changed(program, ours)), alike)


if __name__ == "__main__":
    unittest.main()
