#!/usr/bin/python3
"""Checks a release's winget and Scoop manifests offline against Microsoft's and Scoop's published rules (the fields
that winget's 1.10.0 schemas require, with their types, patterns, lengths and enumerations) and against the downloads
beside them: each hash is that of the file its address names, the package codes are those of the .msi, every file
the zip install names is in the zip. The release runs it on what it wrote, so that a change of name, text or version
that winget would refuse stops the release here rather than at a submission. Prints each fault; exits 1 if any.
    check_manifests.py DIST"""
import hashlib
import json
import os
import re
import subprocess
import sys
import zipfile

import yaml

faults = []


def text(pattern=".*", low=1, high=10000):
    return lambda value: isinstance(value, str) and low <= len(value) <= high and re.fullmatch(pattern, value, re.S)


def one_of(*values):
    return lambda value: value in values


def texts(rule, most):
    return lambda value: isinstance(value, list) and len(value) <= most and all(map(rule, value))


def manifest_version(value):
    parts = value.split(".") if isinstance(value, str) else []
    return len(parts) == 3 and all(re.fullmatch(r"0|[1-9][0-9]{0,4}", p) and int(p) <= 65535 for p in parts)


NAME_PART = r'[^.\s\\/:*?"<>|\x01-\x1f]{1,32}'
IDENTIFIER = text(rf"{NAME_PART}(\.{NAME_PART}){{1,7}}", high=128)
VERSION = text(r'[^\\/:*?"<>|\x01-\x1f]+', high=128)
LOCALE = text(r"([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*", high=20)
URL = text(r"[Hh][Tt][Tt][Pp][Ss]?://.+", high=2048)
SHA256 = text(r"[A-Fa-f0-9]{64}")
INSTALLER_TYPES = ("msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa", "portable",
                   "advinstExe", "advinstMsi")
COMMON = {"PackageIdentifier": IDENTIFIER, "PackageVersion": VERSION, "ManifestVersion": manifest_version}
# (required, optional) fields of each kind of file.
RULES = {
    "version": (dict(COMMON, DefaultLocale=LOCALE, ManifestType=one_of("version")), {}),
    "defaultLocale": (
        dict(COMMON, PackageLocale=LOCALE, Publisher=text(low=2, high=256), PackageName=text(low=2, high=256),
             License=text(low=3, high=512), ShortDescription=text(low=3, high=256),
             ManifestType=one_of("defaultLocale")),
        {"Description": text(low=3), "Moniker": text(high=40), "Tags": texts(text(high=40), 16)}),
    "installer": (dict(COMMON, Installers=lambda value: isinstance(value, list) and 1 <= len(value) <= 1024,
                       ManifestType=one_of("installer")), {}),
}
INSTALLER = (
    {"Architecture": one_of("x86", "x64", "arm", "arm64", "neutral"), "InstallerUrl": URL, "InstallerSha256": SHA256,
     "InstallerType": one_of(*INSTALLER_TYPES)},
    {"NestedInstallerType": one_of(*(t for t in INSTALLER_TYPES if t not in ("zip", "pwa"))),
     "Scope": one_of("user", "machine"), "ProductCode": text(high=255), "UpgradeBehavior": one_of(
         "install", "uninstallPrevious", "deny")})


def check(condition, fault):
    if not condition:
        faults.append(fault)
    return condition


def check_fields(where, fields, rules):
    required, optional = rules
    for name, rule in required.items():
        if check(name in fields, f"{where}: {name} is missing"):
            check(rule(fields[name]), f"{where}: {name} = {fields[name]!r} breaks the schema's rule")
    for name, rule in optional.items():
        if name in fields:
            check(rule(fields[name]), f"{where}: {name} = {fields[name]!r} breaks the schema's rule")


def sha256(path):
    with open(path, "rb") as data:
        return hashlib.sha256(data.read()).hexdigest()


def download(dist, where, url, digest):
    """The file in DIST that URL names, if its SHA-256 is DIGEST."""
    path = os.path.join(dist, url.rsplit("/", 1)[-1])
    if check(os.path.isfile(path), f"{where}: {url} names no file of the release"):
        if check(sha256(path) == digest.lower(), f"{where}: the hash is not that of {os.path.basename(path)}"):
            return path
    return None


def load_winget(folder):
    files = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), encoding="utf-8") as stream:
            fields = yaml.safe_load(stream)
        if check(isinstance(fields, dict) and fields.get("ManifestType") in RULES, f"{name}: no manifest type"):
            files[fields["ManifestType"]] = (name, fields)
    check(sorted(files) == sorted(RULES) and len(os.listdir(folder)) == 3,
          f"winget: the files are {sorted(os.listdir(folder))}, not one version, installer and default locale file")
    return files


def check_winget(dist):
    files = load_winget(os.path.join(dist, "winget"))
    for kind, (name, fields) in files.items():
        check_fields(name, fields, RULES[kind])
    if len(files) != 3:
        return None
    version, locale, installer = (files[k][1] for k in ("version", "defaultLocale", "installer"))
    identifier = version.get("PackageIdentifier")
    expected = {f"{identifier}.yaml", f"{identifier}.installer.yaml",
                f"{identifier}.locale.{version.get('DefaultLocale')}.yaml"}
    check({name for name, _ in files.values()} == expected, f"winget: the files are not named {sorted(expected)}")
    for field in COMMON:
        check(version.get(field) == locale.get(field) == installer.get(field), f"winget: {field} differs")
    check(version.get("DefaultLocale") == locale.get("PackageLocale"), "winget: the default locale differs")
    by_type = {}
    for index, entry in enumerate(installer.get("Installers") or []):
        check_fields(f"installer {index}", entry, INSTALLER)
        by_type[entry.get("InstallerType")] = entry
    check(sorted(by_type) == ["msi", "zip"], f"winget: installers {sorted(by_type)}, not one msi and one zip")
    check_msi(dist, by_type.get("msi"))
    check_zip(dist, by_type.get("zip"))
    return version.get("PackageVersion")


def check_msi(dist, entry):
    if not entry or not (path := download(dist, "msi", entry["InstallerUrl"], entry["InstallerSha256"])):
        return
    listing = subprocess.run(["msiinfo", "export", path, "Property"], capture_output=True, text=True).stdout
    properties = dict(line.split("\t", 1) for line in listing.splitlines() if "\t" in line)
    check(entry.get("Scope") == "machine", "msi: the scope is not machine")
    silent = (entry.get("InstallerSwitches") or {}).get("Silent", "")
    check(re.search(r"(^| )/(quiet|qn)( |$)", silent), f"msi: the silent switches {silent!r} are not quiet")
    check(entry.get("ProductCode") == properties.get("ProductCode"), "msi: ProductCode is not the package's")
    codes = (entry.get("AppsAndFeaturesEntries") or [{}])[0]
    for code in ("ProductCode", "UpgradeCode"):
        check(codes.get(code) == properties.get(code), f"msi: AppsAndFeaturesEntries' {code} is not the package's")


def check_zip(dist, entry):
    if not entry or not (path := download(dist, "zip", entry["InstallerUrl"], entry["InstallerSha256"])):
        return
    check(entry.get("NestedInstallerType") == "portable", "zip: the nested installer is not portable")
    with zipfile.ZipFile(path) as archive:
        names = set(archive.namelist())
    aliases = []
    for nested in entry.get("NestedInstallerFiles") or []:
        relative = nested.get("RelativeFilePath", "")
        check(relative.replace("\\", "/") in names, f"zip: {relative} is not in the zip")
        alias = nested.get("PortableCommandAlias")
        check(text(high=40)(alias) and relative.lower().endswith(f"\\{alias}.exe"),
              f"zip: the alias {alias!r} is not the name of {relative}")
        aliases.append(alias)
    check(sorted(aliases) == ["quelvo", "quelvo-cli"], f"zip: the commands are {aliases}, not quelvo and quelvo-cli")


def check_scoop(dist, version):
    with open(os.path.join(dist, "scoop", "quelvo.json"), encoding="utf-8") as stream:
        manifest = json.load(stream)
    check(manifest.get("version") == version and text(r"[\w\-.+]+")(version), "scoop: the version is not the release's")
    for field in ("description", "license"):
        check(text()(manifest.get(field)), f"scoop: no {field}")
    where = manifest.get("architecture", {}).get("64bit", {})
    url, digest = where.get("url", ""), where.get("hash", "")
    if not check(URL(url) and "$" not in url and SHA256(digest), "scoop: no 64-bit url and SHA-256 hash"):
        return
    if path := download(dist, "scoop", url, digest):
        with zipfile.ZipFile(path) as archive:
            names = set(archive.namelist())
        folder = manifest.get("extract_dir", "")
        for program in manifest.get("bin", []):
            check(f"{folder}/{program}" in names, f"scoop: bin {program} is not in the zip's {folder}")
        check(sorted(manifest.get("bin", [])) == ["quelvo-cli.exe", "quelvo.exe"], "scoop: bin is not both programs")
        shortcuts = manifest.get("shortcuts", [])
        check(len(shortcuts) == 1 and f"{folder}/{shortcuts[0][0]}" in names and text()(shortcuts[0][1]),
              f"scoop: the shortcuts {shortcuts} are not one Start-menu shortcut to a program of the zip")


if __name__ == "__main__":
    check_scoop(sys.argv[1], check_winget(sys.argv[1]))
    for fault in faults:
        print(f"manifest fault: {fault}")
    sys.exit(1 if faults else 0)
