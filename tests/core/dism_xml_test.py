"""The default-associations file as Windows reads it: parsed by a real XML parser, not compared as text.

usage: python3 dism_xml_test.py DUMP_PROGRAM
"""
import subprocess
import sys
import xml.etree.ElementTree as ET

ALL = [".wrl", ".wrl.gz", ".wrz", ".x3d", ".x3d.gz", ".x3dv", ".x3dv.gz", ".x3dvz", ".x3dz"]
failures = []


def parsed(argument):
    data = subprocess.run([sys.argv[1], argument], check=True, capture_output=True).stdout
    if not data.startswith(b'<?xml version="1.0" encoding="UTF-8"?>\r\n'):
        failures.append(f"{argument}: no UTF-8 declaration on the first line")
    return ET.fromstring(data)


def expect(argument, identifiers, prog_id, name):
    root = parsed(argument)
    if root.tag != "DefaultAssociations" or root.attrib:
        failures.append(f"{argument}: root {root.tag} {root.attrib}")
    found = [(e.tag, e.attrib) for e in root]
    wanted = [("Association", {"Identifier": i, "ProgId": prog_id, "ApplicationName": name}) for i in identifiers]
    if found != wanted:
        failures.append(f"{argument}: {found} instead of {wanted}")


# Takes all nine; the shell takes a file's extension from the last dot, so the three ".gz" ones are left out.
expect("pivoron", [e for e in ALL if e.count(".") == 1], "Nexternet.NexternetPlayer.1", "Pivoron")
expect("blaxxun", [".wrl", ".wrz"], "VRML.World", "Blaxxun")  # takes two
# Every special character comes back as it was; a control character XML cannot carry becomes U+FFFD.
expect("--crafted", [".wrl", ".wrz", ".x3d", ".x3dv", ".x3dvz", ".x3dz"], "P&Q<R>",
       "A<b> & \"c\" 'd'\t\n\r\ufffd \u00e9")

for failure in failures:
    print(failure)
failed = len({failure.split(":")[0] for failure in failures})
print(f"{3 - failed} passed, {failed} failed")
sys.exit(1 if failures else 0)
