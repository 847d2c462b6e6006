// The backup, restore and the files the command line writes, against the real registry and file system of the test
// prefix. Wine keeps no file security: owners, access lists and links are judged in the core's and win_tests' tests.
#include "cli_fixture.h"

#include "../win/registry_fixture.h"
#include "core/backup.h"
#include "core/reg_file.h"
#include "core/switch.h"
#include "core/registry_path.h"
#include "platform/registry_win.h"
#include "platform/text_win.h"

namespace quelvo::test {
namespace {

bool Has(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

void WriteBytes(const std::wstring &path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::wstring> NamesIn(const std::wstring &folder, const std::wstring &start) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + start + L"*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return names;
}

std::wstring KeyBelowRoot(const std::string &place) {
    return Widen(ParseRegistryPath(place)->key);
}

RawValue RawAt(const std::string &place) {
    const RegistryPath path = *ParseRegistryPath(place);
    return GetRawValue(RootKey(path.root), Widen(path.key), Widen(path.valueName));
}

const std::string kRunKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]";

TEST_F(CliTest, PlantedBackupFileAndFolderArePutAsideAndTheFreshBackupSaysWhatItHolds) {
    FillPlaces("before");
    const auto before = ReadPlaces();
    CreateDirectoryW(MachineFolder().c_str(), nullptr);
    const std::string planted =
        Utf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n" + kRunKey + "\r\n\"QuelvoTest\"=\"evil.exe\"\r\n");
    WriteBytes(MachineBackupFile(), planted);
    const ProcessResult untrusted = RunCli(L"restore");
    EXPECT_EQ(untrusted.exitCode, 8u) << "a backup that fails the rules is not read";
    EXPECT_TRUE(Has(untrusted.err, "n'est pas fiable")) << untrusted.err;

    const ProcessResult used = RunCli(L"use octaga");
    EXPECT_EQ(used.exitCode, 0u) << used.err;
    EXPECT_TRUE(Has(used.err, "non fiable")) << used.err;
    EXPECT_TRUE(Has(used.err, "Les valeurs d'avant ce changement")) << used.err;
    const std::vector<std::wstring> aside = NamesIn(MachineFolder(), L"associations-before-quelvo.reg.non-fiable-");
    ASSERT_EQ(aside.size(), 1u);
    const std::wstring asidePath = MachineFolder() + L"\\" + aside[0];
    EXPECT_EQ(ReadFileBytes(asidePath), planted) << "put aside, neither read nor changed";
    EXPECT_TRUE(Has(Utf8FromUtf16Le(ReadFileBytes(MachineBackupFile()).value_or("").substr(2)),
                    "d'avant le changement de viewer du "));

    // Restore reads the fresh backup; the planted file, named on purpose, is refused with its line.
    ProcessResult restored = RunCli(L"restore");
    EXPECT_EQ(restored.exitCode, 0u) << restored.err;
    EXPECT_EQ(ReadPlaces(), before);
    restored = RunCli(L"restore \"" + asidePath + L"\"");
    EXPECT_EQ(restored.exitCode, 8u);
    EXPECT_TRUE(Has(restored.err, "ligne 3")) << restored.err;
    EXPECT_EQ(GetRawValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"QuelvoTest").status,
              ERROR_FILE_NOT_FOUND);

    // A folder at the backup's name no longer stops every backup.
    DeleteFolder(MachineFolder());
    CreateDirectoryW(MachineFolder().c_str(), nullptr);
    CreateDirectoryW(MachineBackupFile().c_str(), nullptr);
    EXPECT_EQ(RunCli(L"use flux").exitCode, 0u);
    EXPECT_FALSE(GetFileAttributesW(MachineBackupFile().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(NamesIn(MachineFolder(), L"associations-before-quelvo.reg.non-fiable-").size(), 1u);
}

TEST_F(CliTest, AValueThatCannotBeReadStopsTheFirstSwitchUnlessNoBackup) {
    FillPlaces("before");
    const auto before = ReadPlaces();
    const std::string unreadable = Places()[7];
    const std::wstring key = KeyBelowRoot(unreadable);
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, key, kDenyReads));
    const ProcessResult stopped = RunCli(L"use octaga");
    EXPECT_EQ(stopped.exitCode, 7u);
    EXPECT_TRUE(Has(stopped.err, unreadable)) << stopped.err;
    EXPECT_TRUE(Has(stopped.err, "--no-backup"));
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, key, kAllowAll));
    EXPECT_EQ(ReadPlaces(), before) << "nothing written";
    EXPECT_EQ(GetFileAttributesW(MachineFolder().c_str()), INVALID_FILE_ATTRIBUTES) << "no folder made";

    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, key, kDenyReads));
    const ProcessResult forced = RunCli(L"use octaga --no-backup");
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, key, kAllowAll));
    EXPECT_EQ(forced.exitCode, 0u) << forced.err;
    EXPECT_TRUE(Has(forced.err, "aucune sauvegarde")) << forced.err;
    EXPECT_NE(ReadPlaces(), before);
    Win32Registry registry;
    EXPECT_EQ(registry.ReadValue(kMachineNoBackupRecord).status, ReadStatus::Text);

    // The next backup may not call itself "before Quelvo".
    const ProcessResult next = RunCli(L"use flux");
    EXPECT_EQ(next.exitCode, 0u);
    EXPECT_TRUE(Has(next.err, "Les valeurs d'avant ce changement")) << next.err;
}

TEST_F(CliTest, RestorePutsBackEveryTypeAnAbsentValueAndRemovesAKeyThatDidNotExist) {
    const std::vector<std::string> places = ManagedPlaces(Scope::Machine);
    FillPlaces("before");
    const auto set = [&](std::size_t i, DWORD type, std::string_view bytes) {
        const RegistryPath path = *ParseRegistryPath(places[i]);
        SetRawValue(RootKey(path.root), Widen(path.key), Widen(path.valueName), type, bytes.data(),
                    static_cast<DWORD>(bytes.size()));
    };
    using namespace std::string_view_literals;
    set(0, REG_SZ, "a\0b\0\0\0c\0\0\0"sv); // an embedded NUL
    set(1, REG_EXPAND_SZ, Utf16Le("%SystemRoot%\\x") + std::string(2, '\0'));
    set(2, REG_MULTI_SZ, "o\0n\0\0\0t\0w\0\0\0\0\0"sv);
    set(3, REG_DWORD, "\x01\x02\x03\x04"sv);
    set(4, REG_QWORD, "\x01\x02\x03\x04\x05\x06\x07\x08"sv);
    set(5, REG_BINARY, "\x00\xFF"sv);
    set(6, REG_SZ, "x\0\x00\xD8y\0\0\0"sv); // a lone surrogate
    SetPlace(places[7], std::nullopt);       // an absent value in a key that stays
    DeleteTree(HKEY_LOCAL_MACHINE, KeyBelowRoot(places[19]));
    std::vector<RawValue> before;
    for (const std::string &place : places) before.push_back(RawAt(place));

    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    const auto used = ReadPlaces();
    const ProcessResult dry = RunCli(L"restore --dry-run");
    EXPECT_EQ(dry.exitCode, 0u) << dry.err;
    EXPECT_TRUE(Has(dry.err, "dword:04030201")) << dry.err;
    EXPECT_EQ(ReadPlaces(), used) << "--dry-run writes nothing";

    const ProcessResult restored = RunCli(L"restore");
    EXPECT_EQ(restored.exitCode, 0u) << restored.err;
    for (std::size_t i = 0; i < places.size(); ++i) {
        SCOPED_TRACE(places[i]);
        const RawValue now = RawAt(places[i]);
        EXPECT_EQ(now.status, before[i].status);
        EXPECT_EQ(now.type, before[i].type);
        EXPECT_EQ(now.data, before[i].data);
    }
    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyBelowRoot(places[19]).c_str(), 0, KEY_READ, &gone),
              ERROR_FILE_NOT_FOUND);
    if (gone) RegCloseKey(gone);
}

// restore FILE reads all of the file or refuses it; what it shows of a refused line is escaped; its report is on the
// error output and counts places, so a closed standard output hides nothing it did.
TEST_F(CliTest, RestoreReadsTheWholeFileEscapesWhatItRefusesAndReportsPlacesOnTheErrorOutput) {
    FillPlaces("before");
    const auto before = ReadPlaces();
    const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
    const std::string wrl = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl]\r\n@=\"Planted\"\r\n";
    std::string padding;
    while (padding.size() < (1u << 20)) padding += "; " + std::string(98, '-') + "\r\n";
    const std::wstring longFile = TempFile(L"long.reg");
    WriteBytes(longFile, Utf16LeWithBom(header + wrl + padding + kRunKey + "\r\n\"QuelvoTest\"=\"evil.exe\"\r\n"));
    ProcessResult result = RunCli(L"restore \"" + longFile + L"\"");
    EXPECT_EQ(result.exitCode, 8u) << "the foreign key past the first MiB is read: " << result.err;
    EXPECT_EQ(ReadPlaces(), before);

    const std::wstring steering = TempFile(L"steering.reg");
    WriteBytes(steering, Utf16LeWithBom(header + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\x1b[2J\u202e]\r\n"));
    result = RunCli(L"restore \"" + steering + L"\"");
    EXPECT_EQ(result.exitCode, 8u);
    EXPECT_TRUE(Has(result.err, "\\x1B[2J\\u{202E}")) << result.err;
    EXPECT_FALSE(Has(result.err, "\x1b")) << "no raw escape reaches the terminal";

    // Every key missing: twenty values and twenty keys to remove are twenty places.
    for (const std::string &place : Places()) DeleteTree(HKEY_LOCAL_MACHINE, KeyBelowRoot(place));
    Win32Registry registry;
    const std::wstring saved = TempFile(L"saved.reg");
    WriteBytes(saved, BackupFileBytes(TakeSnapshot(Scope::Machine, registry), Scope::Machine, BackupKind::BeforeQuelvo,
                                      "2026-12-08 05:00 UTC"));
    const auto empty = ReadPlaces();
    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE full = CreateFileW(L"Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(full, INVALID_HANDLE_VALUE);
    result = RunCliTo(L"restore \"" + saved + L"\"", full);
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_TRUE(Has(result.err, "\n20 emplacement(s) remis.")) << result.err;
    EXPECT_EQ(ReadPlaces(), empty);
    CloseHandle(full);
}

TEST_F(CliTest, OutputFileIsNeverReplacedUnaskedNorEverTheBackup) {
    const std::wstring file = TempFile(L"out.reg");
    WriteBytes(file, "old");
    ProcessResult result = RunCli(L"export octaga -o \"" + file + L"\"");
    EXPECT_EQ(result.exitCode, 8u);
    EXPECT_TRUE(Has(result.err, "--force")) << result.err;
    EXPECT_EQ(ReadFileBytes(file), "old");
    EXPECT_EQ(RunCli(L"export octaga -o \"" + file + L"\" --force").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(file), RunCli(L"export octaga").out);
    EXPECT_TRUE(NamesIn(file.substr(0, file.rfind(L'\\')), L"~quelvo-").empty());

    FillPlaces("before");
    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    const std::optional<std::string> kept = ReadFileBytes(MachineBackupFile());
    ASSERT_TRUE(kept);
    const std::wstring link = TempFile(L"link.reg");
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), MachineBackupFile().c_str(), nullptr));
    for (const std::wstring &name : {MachineBackupFile(), link}) {
        result = RunCli(L"backup --force -o \"" + name + L"\"");
        EXPECT_EQ(result.exitCode, 8u) << Narrow(name);
        EXPECT_TRUE(Has(result.err, "jamais remplacé")) << result.err;
    }
    EXPECT_EQ(ReadFileBytes(MachineBackupFile()), kept);
}

// Internet Explorer mode's export writes a site list and a .reg file that points at it: refused, it leaves neither.
TEST_F(CliTest, ARefusedInternetExplorerModeExportLeavesNoSiteList) {
    const std::wstring reg = TempFile(L"ie.reg"), sites = TempFile(L"ie-sites.xml");
    const std::wstring command = L"export --ie-mode octaga --site www.example.org -o \"" + reg + L"\"";
    WriteBytes(reg, "old");
    ProcessResult result = RunCli(command);
    EXPECT_EQ(result.exitCode, 8u) << result.err;
    EXPECT_EQ(ReadFileBytes(sites), std::nullopt) << "refused before the site list was written: " << result.err;
    EXPECT_EQ(ReadFileBytes(reg), "old");

    // A folder that no file replaces, even with --force: the .reg file fails after the site list was written.
    ASSERT_TRUE(DeleteFileW(reg.c_str()));
    ASSERT_TRUE(CreateDirectoryW(reg.c_str(), nullptr));
    result = RunCli(command + L" --force");
    EXPECT_EQ(result.exitCode, 9u) << result.err;
    EXPECT_EQ(ReadFileBytes(sites), std::nullopt) << "the site list taken away again: " << result.err;

    FillPlaces("other");
    result = RunCli(L"export --ie-mode --site www.example.org -o \"" + TempFile(L"none.reg") + L"\"");
    EXPECT_EQ(result.exitCode, 3u) << result.err;
    EXPECT_EQ(ReadFileBytes(TempFile(L"none-sites.xml")), std::nullopt) << "no viewer in place, no file";
}

TEST_F(CliTest, AFailedWriteToStandardOutputExitsNine) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE full = CreateFileW(L"Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(full, INVALID_HANDLE_VALUE);
    for (const wchar_t *command : {L"export octaga", L"list", L"status", L"backup"}) {
        const ProcessResult result = RunCliTo(command, full);
        EXPECT_EQ(result.exitCode, 9u) << Narrow(command);
        EXPECT_TRUE(Has(result.err, "sortie standard")) << result.err;
    }
    CloseHandle(full);
}

// tests/cli/with_small_drive.sh mounts a small tmpfs as a drive and names it in QUELVO_SMALL_DRIVE.
TEST_F(CliTest, ANearlyFullDriveLeavesTheOldFileWholeAndSaysWhy) {
    wchar_t drive[8] = {};
    if (!GetEnvironmentVariableW(L"QUELVO_SMALL_DRIVE", drive, 8))
        GTEST_SKIP() << "skipped: no small drive (run through tests/cli/with_small_drive.sh as root)";
    const std::wstring root = std::wstring(drive) + L"\\", file = root + L"old.reg";
    WriteBytes(file, "old");
    // Fill what is left, so that the new file cannot be written.
    HANDLE filler = CreateFileW((root + L"filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string block(4096, 'x');
    DWORD written = 0;
    while (WriteFile(filler, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written > 0) {
    }
    CloseHandle(filler);
    const ProcessResult result = RunCli(L"export octaga --force -o \"" + file + L"\"");
    DeleteFileW((root + L"filler").c_str());
    EXPECT_EQ(result.exitCode, 9u);
    EXPECT_TRUE(Has(result.err, "(erreur 112)")) << result.err;
    EXPECT_TRUE(Has(result.err, "L'ancien fichier reste entier")) << result.err;
    EXPECT_EQ(ReadFileBytes(file), "old");
    EXPECT_TRUE(NamesIn(std::wstring(drive), L"~quelvo-").empty()) << "no partial file left";
    DeleteFileW(file.c_str());
}

} // namespace
} // namespace quelvo::test
