#!/usr/bin/python3
"""Writes the package managers' manifests of a release from its downloads as shipped: winget's multi-file set in
DIST/winget (version, installer, default locale) and Scoop's DIST/scoop/quelvo.json, each with the SHA-256 of the
file it points to under URL.
    write_manifests.py DIST VERSION_HEADER URL MSIINFO"""
import hashlib
import json
import os
import re
import subprocess
import sys

# The newest schema that the public winget repository accepts at the time of writing; winget 1.10 and later read it.
MANIFEST_VERSION = "1.10.0"
LOCALE = "fr-FR"
LICENSE = "Proprietary"
SHORT_DESCRIPTION = "Choisit le viewer VRML/X3D par défaut parmi sept plug-ins installés"
DESCRIPTION = ("Quelvo fait d'un des sept plug-ins VRML/X3D installés le programme par défaut des contenus 3D : "
               "un clic réécrit les 29 valeurs du registre qui envoient les types de contenu et les extensions "
               "VRML et X3D à ce viewer. quelvo-cli fait de même en ligne de commande.")
# The window looks for quelvo-cli.exe beside itself: each alias is its file's own name.
PROGRAMS = ("quelvo", "quelvo-cli")


def version_header(path):
    with open(path, encoding="utf-8") as header:
        fields = dict(re.findall(r'^#define QUELVO_(\w+) "?([^"\n]*)"?$', header.read(), re.M))
    return fields["PRODUCT_NAME"], fields["MANUFACTURER"], fields["VERSION_TEXT"]


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as data:
        for block in iter(lambda: data.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest()


def msi_properties(msiinfo, msi):
    listing = subprocess.run([msiinfo, "export", msi, "Property"], capture_output=True, text=True, check=True).stdout
    return dict(line.split("\t", 1) for line in listing.splitlines() if "\t" in line)


def yaml_scalar(text):
    # Plain only where YAML cannot read anything but this text (no number, boolean or null); else single-quoted.
    if re.fullmatch(r"[A-Za-z][A-Za-z0-9._/-]*", text) and text.lower() not in (
            "y", "n", "yes", "no", "on", "off", "true", "false", "null"):
        return text
    return "'" + text.replace("'", "''") + "'"


def yaml_lines(value, indent=0):
    pad = " " * indent
    if isinstance(value, dict):
        for key, item in value.items():
            if isinstance(item, str):
                yield f"{pad}{key}: {yaml_scalar(item)}"
            else:
                yield f"{pad}{key}:"
                yield from yaml_lines(item, indent + 2)
    else:
        for item in value:
            if isinstance(item, str):
                yield f"{pad}- {yaml_scalar(item)}"
            else:
                lines = list(yaml_lines(item, indent + 2))
                yield pad + "- " + lines[0][indent + 2:]
                yield from lines[1:]


def write_yaml(path, kind, fields):
    schema = f"https://aka.ms/winget-manifest.{kind}.{MANIFEST_VERSION}.schema.json"
    fields = dict(fields, ManifestType=kind, ManifestVersion=MANIFEST_VERSION)
    with open(path, "w", encoding="utf-8", newline="\n") as manifest:
        manifest.write(f"# yaml-language-server: $schema={schema}\n---\n")
        manifest.write("\n".join(yaml_lines(fields)) + "\n")


def winget(folder, name, maker, version, downloads, codes):
    identifier = f"{maker}.{name}"
    common = {"PackageIdentifier": identifier, "PackageVersion": version}
    msi, zipped = downloads
    switches = {"Silent": "/quiet /norestart", "SilentWithProgress": "/passive /norestart"}
    installers = [
        {"Architecture": "x64", "InstallerType": "msi", "Scope": "machine", "InstallerUrl": msi["url"],
         "InstallerSha256": msi["sha256"].upper(), "InstallerSwitches": switches, "UpgradeBehavior": "install",
         "ProductCode": codes["ProductCode"],
         "AppsAndFeaturesEntries": [{"ProductCode": codes["ProductCode"], "UpgradeCode": codes["UpgradeCode"]}]},
        {"Architecture": "x64", "InstallerType": "zip", "NestedInstallerType": "portable",
         "NestedInstallerFiles": [{"RelativeFilePath": f"{zipped['folder']}\\{program}.exe",
                                   "PortableCommandAlias": program} for program in PROGRAMS],
         "InstallerUrl": zipped["url"], "InstallerSha256": zipped["sha256"].upper()},
    ]
    os.makedirs(folder, exist_ok=True)
    write_yaml(f"{folder}/{identifier}.yaml", "version", dict(common, DefaultLocale=LOCALE))
    write_yaml(f"{folder}/{identifier}.installer.yaml", "installer", dict(common, Installers=installers))
    write_yaml(f"{folder}/{identifier}.locale.{LOCALE}.yaml", "defaultLocale", dict(
        common, PackageLocale=LOCALE, Publisher=maker, PackageName=name, License=LICENSE,
        ShortDescription=SHORT_DESCRIPTION, Description=DESCRIPTION, Moniker=name.lower(), Tags=["vrml", "x3d"]))


def scoop(folder, name, version, zipped):
    manifest = {"version": version, "description": SHORT_DESCRIPTION, "license": LICENSE,
                "architecture": {"64bit": {"url": zipped["url"], "hash": zipped["sha256"]}},
                "extract_dir": zipped["folder"], "bin": [f"{program}.exe" for program in PROGRAMS],
                "shortcuts": [[f"{PROGRAMS[0]}.exe", name]]}
    os.makedirs(folder, exist_ok=True)
    with open(f"{folder}/quelvo.json", "w", encoding="utf-8", newline="\n") as output:
        output.write(json.dumps(manifest, indent=4, ensure_ascii=False) + "\n")


def main(dist, header, url, msiinfo):
    name, maker, version = version_header(header)
    base = f"{name.lower()}-{version}"
    downloads = [{"url": f"{url.rstrip('/')}/{base}.{kind}", "sha256": sha256(f"{dist}/{base}.{kind}"),
                  "folder": base} for kind in ("msi", "zip")]
    winget(f"{dist}/winget", name, maker, version, downloads, msi_properties(msiinfo, f"{dist}/{base}.msi"))
    scoop(f"{dist}/scoop", name, version, downloads[1])


if __name__ == "__main__":
    main(*sys.argv[1:])
