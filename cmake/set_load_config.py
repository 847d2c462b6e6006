#!/usr/bin/python3
"""Points a PE32+ executable's load-configuration directory at its _load_config_used structure, whose address the
linker's map file gives, and recomputes the header checksum. The directory's size is the structure's own Size field;
every other field but DependentLoadFlags must be zero, so that nothing the loader reads was left there by chance.
    set_load_config.py EXE MAP"""
import re
import struct
import sys

LOAD_CONFIG = 10  # IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG
DEPENDENT_LOAD_FLAGS = 78  # offset of the field in IMAGE_LOAD_CONFIG_DIRECTORY64
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800


def fail(message):
    sys.exit(f"set_load_config: {message}")


def checksum(image, field):
    """The PE checksum: 16-bit one's-complement-style sum of the file without its checksum field, plus its length."""
    total = 0
    data = image[:field] + b"\0\0\0\0" + image[field + 4:]
    if len(data) % 2:
        data += b"\0"
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(image)) & 0xFFFFFFFF


def main(exe, map_file):
    image = bytearray(open(exe, "rb").read())
    header = struct.unpack_from("<I", image, 0x3C)[0]
    if image[header:header + 4] != b"PE\0\0":
        fail(f"{exe} is not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", image, header + 6)
    optional = header + 24
    magic, = struct.unpack_from("<H", image, optional)
    if magic != 0x20B:
        fail(f"{exe} is not a 64-bit (PE32+) executable")
    image_base, = struct.unpack_from("<Q", image, optional + 24)
    directories, = struct.unpack_from("<I", image, optional + 108)
    if directories <= LOAD_CONFIG:
        fail(f"{exe} has only {directories} data directories")

    found = re.findall(r"^\s+0x([0-9a-f]+)\s+_load_config_used\s*$", open(map_file).read(), re.M)
    if len(found) != 1:
        fail(f"{map_file} names _load_config_used {len(found)} times, not once")
    rva = int(found[0], 16) - image_base

    table = optional + optional_size
    offset = None
    for index in range(sections):
        size, address, raw_size, raw = struct.unpack_from("<8xIIII", image, table + 40 * index)
        if address <= rva < address + min(size, raw_size):
            offset = raw + rva - address
    if offset is None:
        fail(f"_load_config_used at {rva:#x} lies in no section of {exe}")

    size, = struct.unpack_from("<I", image, offset)
    if size < DEPENDENT_LOAD_FLAGS + 2 or offset + size > len(image):
        fail(f"the structure's Size field ({size}) does not fit")
    structure = bytearray(image[offset:offset + size])
    flags, = struct.unpack_from("<H", structure, DEPENDENT_LOAD_FLAGS)
    if flags != LOAD_LIBRARY_SEARCH_SYSTEM32:
        fail(f"DependentLoadFlags is {flags:#x}, not LOAD_LIBRARY_SEARCH_SYSTEM32")
    struct.pack_into("<IH", structure, 0, 0, 0)
    structure[DEPENDENT_LOAD_FLAGS:DEPENDENT_LOAD_FLAGS + 2] = b"\0\0"
    if any(structure):
        fail("fields other than Size and DependentLoadFlags are not zero")

    struct.pack_into("<II", image, optional + 112 + 8 * LOAD_CONFIG, rva, size)
    struct.pack_into("<I", image, optional + 64, checksum(image, optional + 64))
    open(exe, "wb").write(image)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
