#!/usr/bin/python3
"""Reads a package's raw string pool, as Windows Installer does, rather than a listing that a tool has converted:
prints the code page that the pool's header gives, and how TEXT (UTF-8 on the command line) is stored in the
pool's data: as that code page's bytes, as UTF-8 bytes, or not at all.
    string_pool.py MSI TEXT"""
import struct
import sys

import olefile

# Stream names of a database are packed two characters to one: 64 characters, and a prefix for tables (0x4840).
CHARACTERS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz._"


def decoded(name):
    text = ""
    for code in map(ord, name):
        if code == 0x4840:
            text += "!"
        elif 0x4800 <= code < 0x4840:
            text += CHARACTERS[code - 0x4800]
        elif 0x3800 <= code < 0x4800:
            text += CHARACTERS[(code - 0x3800) & 0x3F] + CHARACTERS[(code - 0x3800) >> 6]
        else:
            text += chr(code)
    return text


package = olefile.OleFileIO(sys.argv[1])
streams = {decoded(entry[0]): entry for entry in package.listdir() if len(entry) == 1}
pool = package.openstream(streams["!_StringPool"]).read()
data = package.openstream(streams["!_StringData"]).read()
# The header's high bit only says that string references take 3 bytes.
codepage = struct.unpack_from("<I", pool)[0] & 0x7FFFFFFF
print(f"code page {codepage}")
text = sys.argv[2]
try:
    in_codepage = codepage != 0 and text.encode(f"cp{codepage}") in data
except LookupError:
    in_codepage = False
print(f"{text}: {'code page' if in_codepage else 'UTF-8' if text.encode() in data else 'absent'}")
