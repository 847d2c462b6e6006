#include "core/backup.h"
#include "core/exit_codes.h"
#include "core/file_trust.h"
#include "core/restore.h"
#include "core/switch.h"

#include "fakes/registry_fake.h"
#include "fakes/switch_fakes.h"
#include "recording_display.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

using namespace std::string_literals;

struct SwitchBench {
    SwitchOutcome Switch(const ViewerRecord &viewer, Scope scope = Scope::Machine, bool withoutBackup = false) {
        SwitchServices services{registry, registry, backup, shell, scope, &userBackup, withoutBackup};
        services.now = std::chrono::sys_days(std::chrono::year(2026) / 12 / 8) + std::chrono::hours(5);
        return SwitchViewer(viewer, services, &display);
    }
    std::size_t ValueWrites() const {
        std::size_t count = 0;
        for (const FakeRegistry::Write &write : registry.Writes())
            count += !write.path.starts_with("HKEY_LOCAL_MACHINE\\SOFTWARE\\Quelvo\\");
        return count;
    }
    FakeRegistry registry;
    FakeBackupStore backup, userBackup;
    RecordingNotifier shell;
    RecordingDisplay display;
};

std::string Sz(std::u16string_view units) {
    std::string bytes;
    for (char16_t unit : units) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

// Every kind of value a place may hold, and the ones reg import's quoted text cannot carry.
void PlantEveryKind(FakeRegistry &registry, const std::vector<std::string> &places) {
    registry.SetRaw(places[0], kRegSz, Sz(u"ab\0c\0"s));                 // an embedded NUL
    registry.SetRaw(places[1], kRegSz, Sz(u"x\xD800y\0"s));               // a lone surrogate
    registry.SetRaw(places[2], kRegExpandSz, Sz(u"%SystemRoot%\\x\0"s));
    registry.SetRaw(places[3], kRegMultiSz, Sz(u"one\0two\0\0"s));
    registry.SetRaw(places[4], kRegDword, "\x01\x02\x03\x04"s);
    registry.SetRaw(places[5], 11, "\x01\x02\x03\x04\x05\x06\x07\x08"s); // REG_QWORD
    registry.SetRaw(places[6], kRegBinary, "\x00\xFF"s);
    registry.SetRaw(places[7], kRegSz, Sz(u"no terminator"));
    registry.SetRaw(places[8], kRegSz, Sz(u"line\r\n[HKEY_X]\0"s));
    registry.SetText(places[9], "C:\\Program Files\\\"q\" é");
    registry.SetRaw(places[10], 0, ""s); // REG_NONE, empty
    registry.SetText(places[11].substr(0, places[11].rfind('\\')) + "\\Other", "keeps the key"); // absent value
    // places[12] and on: no key at all
}

TEST(Backup, RoundTripKeepsEveryTypeAndByteAbsentValuesAndMissingKeys) {
    FakeRegistry before;
    const std::vector<std::string> places = ManagedPlaces(Scope::Machine);
    ASSERT_EQ(places.size(), 20u);
    PlantEveryKind(before, places);
    const Snapshot snapshot = TakeSnapshot(Scope::Machine, before);
    ASSERT_TRUE(snapshot.Complete());
    const std::string file = BackupFileBytes(snapshot, Scope::Machine, BackupKind::BeforeQuelvo, "2026-12-08 05:00 UTC");

    FakeRegistry after = before; // then a switch, and a viewer's own subkey under a key that did not exist
    for (const RegistryWrite &write : SwitchWrites(Viewers()[3], Scope::Machine)) after.WriteString(write.path, write.value);
    after.SetText(places[13].substr(0, places[13].rfind('\\')) + "\\shell\\open\\", "viewer.exe");

    const RestorePlan plan = ReadBackup(file, Scope::Machine);
    ASSERT_TRUE(plan.Accepted()) << plan.refusedLine << " " << plan.refusedReason;
    EXPECT_TRUE(plan.keptByQuelvo);
    for (const RestoreAction &action : plan.actions) EXPECT_EQ(ApplyRestoreAction(action, after), kRegistryOk);
    for (std::size_t i = 0; i < places.size(); ++i) {
        SCOPED_TRACE(places[i]);
        const std::optional<RawRead> was = before.RawAt(places[i]), now = after.RawAt(places[i]);
        ASSERT_EQ(was.has_value(), now.has_value());
        if (was) {
            EXPECT_EQ(now->type, was->type);
            EXPECT_EQ(now->data, was->data);
        }
        // A key that did not exist goes again, unless something was put under it since.
        if (i >= 12) {
            EXPECT_EQ(after.HoldsKey(places[i]), i == 13);
        }
    }
    EXPECT_TRUE(after.HoldsKey(places[11]));
    const std::string text = Utf8FromUtf16Le(file.substr(2));
    EXPECT_EQ(text.find("[HKEY_X]"), std::string::npos) << "no line of its own for text inside a value";
    EXPECT_EQ(text.find("[-"), std::string::npos) << "reg import never deletes a key";
    EXPECT_NE(text.find("\"CLSID\"=dword:04030201"), std::string::npos);
}

TEST(Switch, KeepsABackupOnlyOnceTheFirstWriteIsAllowedAndWritesNothingWithoutOne) {
    SwitchBench refused; // refused at its first write: nothing looked at, nothing kept
    refused.registry.RefuseWrites(SwitchWrites(Viewers()[0], Scope::Machine)[0].path, kRegistryAccessDenied);
    SwitchOutcome outcome = refused.Switch(Viewers()[0]);
    EXPECT_EQ(outcome.error, kRegistryAccessDenied);
    EXPECT_EQ(refused.backup.checks, 0);
    EXPECT_FALSE(refused.backup.stored);
    EXPECT_EQ(refused.shell.calls, 0);

    SwitchBench unreadable; // a value that cannot be read stops the first switch before any write
    const std::string place = ManagedPlaces(Scope::Machine)[7];
    unreadable.registry.RefuseReads(place, kRegistryAccessDenied);
    outcome = unreadable.Switch(Viewers()[5]);
    EXPECT_EQ(outcome.backup, BackupResult::Unreadable);
    EXPECT_EQ(outcome.unreadablePath, place);
    EXPECT_FALSE(outcome.Succeeded());
    EXPECT_TRUE(unreadable.registry.Writes().empty());
    EXPECT_EQ(unreadable.shell.calls, 0);
    outcome = unreadable.Switch(Viewers()[5], Scope::Machine, true); // asked to go on
    EXPECT_TRUE(outcome.Succeeded());
    EXPECT_EQ(outcome.backup, BackupResult::Skipped);
    EXPECT_EQ(unreadable.ValueWrites(), 29u);
    EXPECT_EQ(unreadable.registry.TextAt(kMachineNoBackupRecord), "2026-12-08 05:00 UTC");
    unreadable.registry = FakeRegistry(); // later, everything readable: the backup says what it holds
    unreadable.registry.SetText(kMachineNoBackupRecord, "2026-12-08 05:00 UTC");
    outcome = unreadable.Switch(Viewers()[6]);
    EXPECT_EQ(outcome.backup, BackupResult::Written);
    EXPECT_TRUE(outcome.beforeThisSwitch);
    EXPECT_NE(Utf8FromUtf16Le(unreadable.backup.stored->substr(2)).find("d'avant le changement de viewer du 2026-12-08"),
              std::string::npos);

    SwitchBench failing; // a backup that cannot be kept: nothing written unless asked
    failing.backup.refuseWith = 112;
    EXPECT_EQ(failing.Switch(Viewers()[1]).backup, BackupResult::Failed);
    EXPECT_TRUE(failing.registry.Writes().empty());
    EXPECT_EQ(failing.Switch(Viewers()[1], Scope::Machine, true).backupError, 112u);
    EXPECT_EQ(failing.ValueWrites(), 29u);

    SwitchBench planted; // an untrusted backup put aside: the fresh one says it is not from before Quelvo
    planted.backup.movedAside = "associations-before-quelvo.reg.non-fiable-20261208-050000";
    outcome = planted.Switch(Viewers()[2]);
    EXPECT_EQ(outcome.movedAside, "associations-before-quelvo.reg.non-fiable-20261208-050000");
    EXPECT_TRUE(outcome.beforeThisSwitch);
    const std::string kept = *planted.backup.stored;
    EXPECT_EQ(planted.Switch(Viewers()[3]).backup, BackupResult::NotNeeded);
    EXPECT_EQ(planted.backup.stored, kept) << "kept once, never overwritten";

    SwitchBench user; // a per-user switch keeps the user's values, not the machine's
    EXPECT_EQ(user.Switch(Viewers()[5], Scope::CurrentUser).backup, BackupResult::Written);
    EXPECT_FALSE(user.backup.stored);
    const RestorePlan plan = ReadBackup(*user.userBackup.stored, Scope::CurrentUser);
    ASSERT_TRUE(plan.Accepted());
    for (const RestoreAction &action : plan.actions)
        EXPECT_TRUE(action.path.starts_with("HKEY_CURRENT_USER\\Software\\Classes\\")) << action.path;
    EXPECT_FALSE(ReadBackup(*user.userBackup.stored, Scope::Machine).Accepted());
}

std::string Reg(const std::string &body) {
    return Utf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n" + body);
}

// On Windows a per-user key hides the machine's key of that name whole: a per-user switch copies what the machine's
// key holds beside its own value into each key it creates, and the user's restore takes the copies away with the key.
TEST(Switch, PerUserKeysItCreatesCarryTheMachinesKeyAndRestoreTakesThemAway) {
    SwitchBench bench;
    const std::string machine = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\",
                      user = "HKEY_CURRENT_USER\\Software\\Classes\\", merged = "HKEY_CLASSES_ROOT\\",
                      vrml = "MIME\\Database\\Content Type\\model/vrml\\";
    bench.registry.SetText(machine + ".wrl\\Content Type", "model/vrml");
    bench.registry.SetRaw(machine + ".wrl\\OpenWithProgids\\VRML.World", 0, "");
    bench.registry.SetText(machine + ".wrl\\ShellNew\\Deeper\\", "template.wrl");
    bench.registry.CreateKey(machine + ".wrl\\Empty\\");
    bench.registry.SetText(machine + vrml + "Extension", ".wrl");
    bench.registry.SetText(machine + ".x3d\\Content Type", "model/x3d+xml");
    bench.registry.SetText(user + ".x3d\\", "Mine.X3d"); // the user's own key already hides it: left as it is

    ASSERT_TRUE(bench.Switch(Viewers()[5], Scope::CurrentUser).Succeeded());
    EXPECT_EQ(bench.registry.TextAt(merged + ".wrl\\Content Type"), "model/vrml");
    EXPECT_EQ(bench.registry.RawAt(merged + ".wrl\\OpenWithProgids\\VRML.World")->type, 0u);
    EXPECT_EQ(bench.registry.TextAt(merged + ".wrl\\ShellNew\\Deeper\\"), "template.wrl");
    EXPECT_TRUE(bench.registry.HoldsKey(merged + ".wrl\\Empty\\"));
    EXPECT_EQ(bench.registry.TextAt(merged + vrml + "Extension"), ".wrl");
    EXPECT_FALSE(bench.registry.RawAt(user + ".x3d\\Content Type"));
    EXPECT_EQ(bench.Switch(Viewers()[6], Scope::CurrentUser).valuesCopied, 0u) << "the keys are the user's now";

    const RestorePlan plan = ReadBackup(*bench.userBackup.stored, Scope::CurrentUser);
    ASSERT_TRUE(plan.Accepted()) << plan.refusedLine << " " << plan.refusedReason;
    for (const RestoreAction &action : plan.actions)
        EXPECT_EQ(ApplyRestoreAction(action, bench.registry), kRegistryOk);
    EXPECT_FALSE(bench.registry.HoldsKey(user + ".wrl\\")) << "copies, subkeys and key gone";
    EXPECT_FALSE(bench.registry.HoldsKey(user + vrml));
    EXPECT_EQ(bench.registry.TextAt(user + ".x3d\\"), "Mine.X3d");
    const std::string copied = "; quelvo-absent-key: " + user + ".wrl\r\n[" + user + ".wrl]\r\n\"Content Type\"=";
    EXPECT_FALSE(ReadBackup(Reg(copied + "\"text/html\"\r\n"), Scope::CurrentUser).Accepted()) << "only ever deleted";

    SwitchBench refused; // a copy that cannot be written is a refused write, named
    refused.registry.SetText(machine + ".wrl\\Content Type", "model/vrml");
    refused.registry.RefuseWrites(user + ".wrl\\Content Type", kRegistryAccessDenied);
    EXPECT_EQ(refused.Switch(Viewers()[5], Scope::CurrentUser).failedPath, user + ".wrl\\Content Type");
}

TEST(Restore, RefusesAnyOtherKeyOrValueNamingTheLineAndSkipsTheClassesRootOf200) {
    const std::string wrl = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl]\r\n@=\"Old.Wrl\"\r\n";
    ASSERT_TRUE(ReadBackup(Reg(wrl), Scope::Machine).Accepted());
    const std::vector<std::pair<std::string, std::size_t>> refused = {
        {wrl + "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"x\"=\"evil.exe\"\r\n", 6},
        {wrl + "\"Command\"=\"evil.exe\"\r\n", 5},
        {"[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl]\r\n", 3},
        {"; quelvo-absent-key: HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\r\n" + wrl, 3},
        {"@=\"before any key\"\r\n", 3},
        {"[HKEY_CURRENT_USER\\Software\\Classes\\.wrl]\r\n@=\"x\"\r\n", 3},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl]\r\n@=hex(1):zz\r\n", 4},
    };
    for (const auto &[body, line] : refused) {
        SCOPED_TRACE(body);
        const RestorePlan plan = ReadBackup(Reg(body), Scope::Machine);
        EXPECT_FALSE(plan.Accepted());
        EXPECT_EQ(plan.refusedLine, line);
    }
    EXPECT_FALSE(ReadBackup("MZ\x90", Scope::Machine).Accepted());

    // Version 2.0.0's file: the content types and machine extensions as text, the classes root as well.
    std::vector<RegFileEntry> old;
    const std::vector<RegistryWrite> writes = BuildAssociationList(Viewers()[0]);
    for (std::size_t step = 0; step < writes.size(); ++step) {
        // 2.0.0 named its last nine writes through the classes root.
        std::string path = writes[step].path;
        if (step >= 20) path = std::string(kClassesRoot) + path.substr(kMachineClasses.size());
        old.push_back({path.ends_with(".x3dz\\") ? RegFileEntry::Kind::Delete : RegFileEntry::Kind::Set, path, "old"});
    }
    old.push_back({RegFileEntry::Kind::Comment, "HKEY_CLASSES_ROOT\\.wrz\\", "holds a value that is not text; not saved"});
    const RestorePlan plan = ReadBackup(RegFileBytes(old), Scope::Machine);
    ASSERT_TRUE(plan.Accepted()) << plan.refusedLine << " " << plan.refusedReason;
    EXPECT_FALSE(plan.keptByQuelvo);
    EXPECT_TRUE(plan.KeptByQuelvo()) << "2.0.0's classes-root lines are its mark";
    EXPECT_EQ(plan.skipped.size(), 9u);
    ASSERT_EQ(plan.actions.size(), 20u);
    for (const RestoreAction &action : plan.actions)
        EXPECT_TRUE(action.path.starts_with("HKEY_LOCAL_MACHINE\\")) << action.path;
}

// Only the mark of a backup kept for that scope makes a file Quelvo's backup (an export file at its name is put
// aside: tests/win/backup_store_test.cpp).
TEST(Backup, OnlyItsOwnMarkMakesAFileAKeptBackupAndACommentNeverContinues) {
    FakeRegistry registry;
    const std::string kept = BackupFileBytes(TakeSnapshot(Scope::Machine, registry), Scope::Machine,
                                             BackupKind::BeforeQuelvo, "2026-12-08 05:00 UTC");
    EXPECT_TRUE(ReadBackup(kept, Scope::Machine).KeptByQuelvo());
    const std::string wrl = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl]\r\n@=\"Old.Wrl\"\r\n";
    EXPECT_TRUE(ReadBackup(Reg(wrl), Scope::Machine).Accepted()) << "restore FILE still takes a file without it";
    EXPECT_FALSE(ReadBackup(Reg("; quelvo-backup: user\r\n" + wrl), Scope::Machine).KeptByQuelvo());

    // A comment ending in a backslash: the key after it is a key, and its value goes under it.
    const std::string wrz = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrz]\r\n";
    const RestorePlan plan = ReadBackup(Reg(wrz + "; C:\\dossier\\\r\n" + wrl), Scope::Machine);
    ASSERT_TRUE(plan.Accepted()) << plan.refusedLine << " " << plan.refusedReason;
    ASSERT_EQ(plan.actions.size(), 1u);
    EXPECT_EQ(plan.actions[0].path, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\");
}

// A backup larger than restore reads is never kept: the first switch stops before any write, as for a backup that
// cannot be written (which --no-backup goes past).
TEST(Backup, OneThatRestoreCouldNotReadIsNotKept) {
    SwitchBench huge;
    huge.registry.SetRaw(ManagedPlaces(Scope::Machine)[3], kRegBinary, std::string(kLargestBackupBytes / 6 + 1, 'q'));
    const SwitchOutcome outcome = huge.Switch(Viewers()[1]);
    EXPECT_EQ(outcome.backup, BackupResult::Failed);
    EXPECT_EQ(outcome.backupError, kRegistryFileTooLarge);
    EXPECT_FALSE(huge.backup.stored);
    EXPECT_TRUE(huge.registry.Writes().empty());
}

TEST(FileTrust, OnlyTheTrustedAccountsMayOwnOrChangeWhatIsBelieved) {
    const std::string me = "S-1-5-21-1-2-3-1001", other = "S-1-5-21-1-2-3-1002", users = "S-1-5-32-545";
    const auto object = [&](std::string owner, std::vector<AccessEntry> dacl) {
        return ObjectDescription{false, true, std::move(owner), true, std::move(dacl)};
    };
    const AccessEntry systemFull{true, false, std::string(kSystemSid), 0x1F01FF};
    const AccessEntry usersRead{true, false, users, 0x1200A9};
    EXPECT_EQ(JudgeObject(object(std::string(kAdministratorsSid), {systemFull, usersRead}), me), Distrust::None);
    EXPECT_EQ(JudgeObject(object(me, {{true, false, me, 0x1F01FF}}), me), Distrust::None);
    EXPECT_EQ(JudgeObject(object(std::string(kTrustedInstallerSid), {usersRead}), me), Distrust::None);
    EXPECT_EQ(JudgeObject(object(other, {systemFull}), me), Distrust::Owner);
    for (std::uint32_t right : {0x2u, 0x4u, 0x40u, 0x10000u, 0x40000u, 0x80000u, 0x40000000u, 0x10000000u})
        EXPECT_EQ(JudgeObject(object(me, {usersRead, {true, false, users, right}}), me), Distrust::OthersMayWrite)
            << right;
    EXPECT_EQ(JudgeObject(object(me, {{false, false, users, 0x1F01FF}}), me), Distrust::None) << "a deny takes away";
    EXPECT_EQ(JudgeObject(object(me, {{true, true, "S-1-3-0", 0x1F01FF}}), me), Distrust::None) << "inherit only";
    ObjectDescription noDacl = object(me, {});
    noDacl.hasDacl = false;
    EXPECT_EQ(JudgeObject(noDacl, me), Distrust::OthersMayWrite);
    ObjectDescription link = object(std::string(kAdministratorsSid), {systemFull});
    link.reparsePoint = true;
    EXPECT_EQ(JudgeObject(link, me), Distrust::ReparsePoint);

    // The machine's backup: the switching account's own objects are an unelevated program's, not believed where
    // the file system keeps owners at all; a user's own backup is that user's.
    const std::string_view machine = TrustedAccount(true, me, true);
    EXPECT_EQ(JudgeObject(object(me, {systemFull}), machine), Distrust::Owner);
    EXPECT_EQ(JudgeObject(object(std::string(kAdministratorsSid), {{true, false, me, 0x2}}), machine),
              Distrust::OthersMayWrite);
    EXPECT_TRUE(TrustedAccount(false, me, true) == me && TrustedAccount(true, me, false) == me);
}

TEST(ExitCodes, WhatTheRegistryOrAFileUnderwentOutranksALostOutput) {
    for (int code : {5, 6, 7, 8}) EXPECT_EQ(ExitCodeAfterOutputFailure(code), code);
    for (int code : {0, 1, 2, 3, 4, 9}) EXPECT_EQ(ExitCodeAfterOutputFailure(code), 9) << code;
}

} // namespace
} // namespace quelvo
