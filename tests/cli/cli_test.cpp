#include "cli_fixture.h"
#include "../core/expected_associations.h"

#include "../win/registry_fixture.h"
#include "../win/lock_holder.h"
#include "core/exit_codes.h"
#include "core/messages.h"
#include "platform/elevation_win.h"
#include "core/reg_file.h"
#include "core/restore.h"
#include "core/switch.h"
#include "platform/registry_win.h"
#include "fakes/switch_fakes.h"
#include "platform/text_win.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace quelvo::test {
namespace {

const std::string kUserChoiceX3d =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.x3d\\UserChoice\\ProgId";

std::wstring Quoted(const std::wstring &text) {
    return L"\"" + text + L"\"";
}

void CreateKey(HKEY root, const std::wstring &key) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr) == ERROR_SUCCESS)
        RegCloseKey(created);
}

bool Has(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CliTest, WrongCommandsExitTwoAndWriteNothingAnUnwritableFileNineUsageListsEveryCode) {
    FillPlaces("other");
    const auto before = ReadPlaces();
    // Which lines are wrong is the parser's, tested natively; here, what a wrong one does.
    for (const wchar_t *wrong : {L"", L"use octaga flux"}) {
        const ProcessResult result = RunCli(wrong);
        EXPECT_EQ(result.exitCode, 2u) << Narrow(wrong);
        EXPECT_TRUE(Has(result.err, "Usage : quelvo-cli")) << Narrow(wrong);
    }
    EXPECT_EQ(RunCli(L"export flux -o Z:\\no\\such\\folder\\x.reg").exitCode, 9u);
    const std::string usage = RunCli(L"--help").out;
    for (const ExitCodeMeaning &meaning : kExitCodeMeanings)
        EXPECT_TRUE(Has(usage, "  " + std::to_string(ToInt(meaning.code)) + "  " + std::string(meaning.text) + "\r\n"))
            << meaning.text;
    const ProcessResult unknown = RunCli(L"use \"Cosmo Player 2\"");
    EXPECT_EQ(unknown.exitCode, 2u);
    for (const ViewerRecord &viewer : Viewers())
        EXPECT_TRUE(Has(unknown.err, std::string(viewer.displayName)));
    EXPECT_EQ(RunCli(L"use \"BS Contact\" --dry-run").exitCode, 0u);
    EXPECT_EQ(ReadPlaces(), before);
}

TEST_F(CliTest, ExportThenRegImportGivesExactlyWhatUseGivesAndStatusFindsItConsistent) {
    for (const ViewerRecord &viewer : Viewers()) {
        SCOPED_TRACE(std::string(viewer.displayName));
        const std::wstring name = Quoted(Widen(viewer.displayName)), file = TempFile(L"export.reg");
        FillPlaces("other");
        ASSERT_EQ(RunCli(L"use " + name).exitCode, 0u);
        const auto used = ReadPlaces();
        const ProcessResult status = RunCli(L"status");
        EXPECT_EQ(status.exitCode, 0u) << status.out;
        EXPECT_TRUE(Has(status.out, "Viewer de la machine : " + std::string(viewer.displayName) + " ("));
        FillPlaces("other");
        ASSERT_EQ(RunCli(L"export " + name + L" --force -o " + Quoted(file)).exitCode, 0u);
        ASSERT_EQ(RegImport(file), 0u);
        EXPECT_EQ(ReadPlaces(), used);
        EXPECT_EQ(RunCli(L"export " + name).out, ReadFileBytes(file)) << "redirected, stdout carries the file";
    }
}

TEST_F(CliTest, BackupThenUseThenImportPutsEveryPlaceBackAbsentOnesIncluded) {
    FillPlaces("before");
    SetPlace(Places()[2], std::nullopt);
    SetPlace(Places()[7], "C:\\Program Files\\\"quoted\" é");
    const auto before = ReadPlaces();
    const std::wstring file = TempFile(L"backup.reg");
    ASSERT_EQ(RunCli(L"backup -o " + Quoted(file)).exitCode, 0u);
    ASSERT_EQ(RunCli(L"use flux").exitCode, 0u);
    ASSERT_NE(ReadPlaces(), before);
    ASSERT_EQ(RegImport(file), 0u);
    EXPECT_EQ(ReadPlaces(), before);
}

TEST_F(CliTest, StatusReportsDriftWhatWinsForThisUserEscapedAndNoViewer) {
    FillPlaces("other");
    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    const std::string changed = Places()[4];
    SetPlace(changed, "by hand");
    ProcessResult status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 1u);
    // "≠" where the code page has it ('?' in 437): the line is the mismatch's, never "ok".
    EXPECT_TRUE(Has(status.out, "  " + changed + " = \"by hand\" (attendu : ")) << status.out;
    EXPECT_FALSE(Has(status.out, "ok " + changed)) << status.out;

    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    // A planted escape sequence and a right-to-left override must reach the terminal as text.
    SetPlace("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\", "Mine\x1B[2J\x7F\xE2\x80\xAEWrl");
    SetPlace(kUserChoiceX3d, "Mine.X3d");
    SetPlace("HKEY_CURRENT_USER\\Software\\Classes\\MIME\\Database\\Content Type\\model/vrml\\CLSID", "{mine}");
    status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 1u);
    EXPECT_TRUE(Has(status.out, ".wrl : sa propre clé HKEY_CURRENT_USER\\Software\\Classes\\.wrl, qui masque celle de "
                                "la machine même vide (valeur par défaut = \"Mine\\x1B[2J\\x7F\\u{202E}Wrl\")"))
        << status.out;
    EXPECT_FALSE(Has(status.out, "\x1B")) << "no raw escape";
    EXPECT_TRUE(Has(status.out, ".x3d : son choix « Ouvrir avec » " + kUserChoiceX3d + " = \"Mine.X3d\""));
    EXPECT_TRUE(Has(status.out, "model/vrml : sa propre clé "));
    EXPECT_TRUE(Has(status.out, "model/x3d : la valeur de la machine"));
    const std::string json = RunCli(L"status --json").out;
    EXPECT_FALSE(Has(json, "\x1B") || Has(json, "\x7F") || Has(json, "\xE2\x80\xAE")) << "JSON escapes them too";
    const nlohmann::json document = nlohmann::json::parse(json);
    EXPECT_EQ(document["viewer"], "Octaga");
    EXPECT_EQ(document["exitCode"], 1);
    EXPECT_EQ(document["usersChecked"], true);
    EXPECT_EQ(document["locations"].size(), 20u);
    ASSERT_EQ(document["forThisUser"].size(), 20u);
    EXPECT_EQ(document["forThisUser"][0]["winner"], "userKey");
    EXPECT_EQ(document["forThisUser"][0]["userKey"]["value"]["value"], "{mine}");
    EXPECT_EQ(document["forThisUser"][11]["name"], ".wrl");
    EXPECT_EQ(document["forThisUser"][11]["userKey"]["value"]["value"], "Mine\x1B[2J\x7F\xE2\x80\xAEWrl");
    EXPECT_EQ(document["forThisUser"][14]["winner"], "userChoice");
    EXPECT_EQ(document["forThisUser"][12]["winner"], "machine");

    DeleteTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\.wrl");
    status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 3u);
    EXPECT_TRUE(Has(status.out, "aucun viewer reconnu"));
    EXPECT_TRUE(nlohmann::json::parse(RunCli(L"status --json").out)["viewer"].is_null());
}

TEST_F(CliTest, RefusedWriteExitsFiveNamesTheKeyAndKeepsEarlierValues) {
    FillPlaces("other");
    const std::vector<RegistryWrite> &writes = expected::AssociationsOf("Octaga");
    const std::string refused = writes[6].path, key = refused.substr(0, refused.rfind('\\'));
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, Widen(key.substr(key.find('\\') + 1)), kDenyWrites));
    const ProcessResult result = RunCli(L"use octaga");
    EXPECT_EQ(result.exitCode, 5u);
    EXPECT_TRUE(Has(result.err, refused)) << result.err;
    EXPECT_TRUE(Has(result.err, "6 valeurs écrites")) << result.err;
    EXPECT_FALSE(Has(result.err, "quand même")) << "what stays is said once";
    EXPECT_EQ(result.out, "") << "messages go to the error output";
    // The test runs with the same rights as the command: already an administrator, the key's own security refuses.
    if (ShellElevation().ReadRights().AlreadyAdministrator()) {
        EXPECT_TRUE(Has(result.err, "c'est la sécurité propre de la clé " + key + " qui refuse")) << result.err;
        EXPECT_FALSE(Has(result.err, "en tant qu'administrateur"));
    } else {
        EXPECT_TRUE(Has(result.err, "en tant qu'administrateur")) << result.err;
    }
    const auto now = ReadPlaces();
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(now.at(writes[i].path), writes[i].value) << writes[i].path;
    EXPECT_EQ(now.at(refused), "other " + refused);
}

TEST_F(CliTest, UseForTheUserLeavesTheMachineAloneAndStatusShowsWhatHides) {
    FillPlaces("other");
    const auto machine = ReadPlaces();
    ASSERT_EQ(RunCli(L"use --user flux").exitCode, 0u);
    EXPECT_EQ(ReadPlaces(), machine);
    std::map<std::string, std::optional<std::string>> expected; // the later write to a key is what stays
    for (const RegistryWrite &write : expected::UserAssociationsOf("Flux"))
        expected[write.path] = write.value;
    EXPECT_EQ(ReadPlaces(Scope::CurrentUser), expected);
    const nlohmann::json document = nlohmann::json::parse(RunCli(L"status --json").out);
    ASSERT_EQ(document["forThisUser"].size(), 20u);
    for (const auto &place : document["forThisUser"])
        EXPECT_EQ(place["winner"], "userKey") << place["name"];
    EXPECT_FALSE(ReadFileBytes(MachineBackupFile())) << "a per-user switch keeps no machine backup";
    ASSERT_TRUE(ReadFileBytes(UserBackupFile())) << "but the user's own";
    EXPECT_TRUE(ReadBackup(*ReadFileBytes(UserBackupFile()), Scope::CurrentUser).Accepted());
}

// On Windows the user's new .wrl key would hide the machine's whole, "Content Type" included: the switch copies it
// into that key, and restore --user takes it away with the key.
TEST_F(CliTest, UseForTheUserKeepsTheMachinesContentTypeAndRestoreTakesTheCopyAway) {
    FillPlaces("other");
    const std::wstring machine = L"SOFTWARE\\Classes\\.wrl", user = L"Software\\Classes\\.wrl";
    SetStringValue(HKEY_LOCAL_MACHINE, machine, L"Content Type", L"model/vrml");
    SetStringValue(HKEY_LOCAL_MACHINE, machine + L"\\OpenWithProgids", L"VRML.World", L"");
    const ProcessResult use = RunCli(L"use --user octaga");
    EXPECT_EQ(use.exitCode, 0u) << use.err;
    EXPECT_TRUE(Has(use.err, "copiée(s) des clés de la machine")) << use.err;
    EXPECT_EQ(GetRawValue(HKEY_CURRENT_USER, user, L"Content Type").Text(), std::wstring(L"model/vrml", 11));
    EXPECT_EQ(GetRawValue(HKEY_CURRENT_USER, user + L"\\OpenWithProgids", L"VRML.World").status, ERROR_SUCCESS);
    const ProcessResult restore = RunCli(L"restore --user");
    EXPECT_EQ(restore.exitCode, 0u) << restore.err;
    EXPECT_EQ(Win32Registry().KeyExists("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\").state, KeyState::Absent);
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, machine.c_str(), L"Content Type");
    DeleteTree(HKEY_LOCAL_MACHINE, machine + L"\\OpenWithProgids");
}

TEST_F(CliTest, FirstSwitchWritesTheMachineBackupOnce) {
    FillPlaces("before");
    const ProcessResult first = RunCli(L"use octaga");
    EXPECT_TRUE(Has(first.err, "associations-before-quelvo.reg ; pour y revenir : quelvo-cli restore")) << first.err;
    EXPECT_EQ(first.out, "") << "messages go to the error output";
    EXPECT_FALSE(Has(first.out + first.err, "reg import"));
    const std::optional<std::string> kept = ReadFileBytes(MachineBackupFile());
    ASSERT_TRUE(kept);
    const RestorePlan plan = ReadBackup(*kept, Scope::Machine);
    EXPECT_TRUE(plan.keptByQuelvo);
    EXPECT_EQ(plan.actions.size(), 20u);
    EXPECT_NE(Utf8FromUtf16Le(kept->substr(2)).find("d'avant le premier changement de viewer par Quelvo"),
              std::string::npos);
    const ProcessResult second = RunCli(L"use flux");
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_FALSE(Has(second.err, "associations-before-quelvo.reg"));
    EXPECT_EQ(ReadFileBytes(MachineBackupFile()), kept);
}

TEST_F(CliTest, UseSaysWhatStillHidesTheValuesAndAlsoUserSwitchesTheUserToo) {
    FillPlaces("other");
    CreateKey(HKEY_CURRENT_USER, L"Software\\Classes\\.wrl"); // empty: hides by existing
    SetPlace(kUserChoiceX3d, "Mine.X3d");
    ProcessResult used = RunCli(L"use octaga");
    EXPECT_EQ(used.exitCode, 0u);
    EXPECT_TRUE(Has(used.err, "ses propres réglages l'emportent sur ces valeurs :\r\n"
                              "  .wrl : sa propre clé HKEY_CURRENT_USER\\Software\\Classes\\.wrl\r\n"
                              "  .x3d : son choix « Ouvrir avec » (" + kUserChoiceX3d + " = \"Mine.X3d\")\r\n"))
        << used.err;
    EXPECT_TRUE(Has(used.err, "quelvo-cli use \"Octaga\" --user"));
    EXPECT_TRUE(Has(used.err, "Applications par défaut"));

    used = RunCli(L"use octaga --also-user");
    EXPECT_EQ(used.exitCode, 0u) << used.err;
    EXPECT_EQ(ReadPlaces(Scope::CurrentUser).at("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\"), "Octaga.Octaga.wrl");
    EXPECT_FALSE(Has(used.err, "sa propre clé")) << "the user's keys now give the same viewer";
    EXPECT_TRUE(Has(used.err, ".x3d : son choix")) << "no program may change a choice";
    EXPECT_EQ(RunCli(L"use octaga --also-user --user").exitCode, 2u);
    for (const wchar_t *wrong : {L"use octaga --wait", L"use octaga --wait -1", L"use octaga --wait 86401",
                                 L"status --wait 3", L"use octaga --wait 1x"})
        EXPECT_EQ(RunCli(wrong).exitCode, 2u) << Narrow(wrong);
}

TEST_F(CliTest, UseWaitsForAnotherMachineSwitchThenFailsWithSixOrGoesOnOnceItEnds) {
    FillPlaces("other");
    const auto before = ReadPlaces();
    {
        LockHolder other;
        ASSERT_TRUE(other.Result().Held());
        const ULONGLONG start = GetTickCount64();
        const ProcessResult busy = RunCli(L"use octaga --wait 1");
        EXPECT_EQ(busy.exitCode, 6u);
        EXPECT_GE(GetTickCount64() - start, 1000u);
        EXPECT_TRUE(Has(busy.err, "Un autre changement de viewer est en cours sur ce PC (attendu 1 s)")) << busy.err;
        EXPECT_EQ(ReadPlaces(), before) << "nothing written without the lock";
        const std::wstring saved = TempFile(L"before-lock.reg");
        ASSERT_EQ(RunCli(L"backup -o " + Quoted(saved)).exitCode, 0u);
        EXPECT_EQ(RunCli(L"restore " + Quoted(saved) + L" --wait 0").exitCode, 6u) << "restore writes under it too";
        EXPECT_EQ(RunCli(L"use octaga --user").exitCode, 0u) << "a per-user switch takes no lock";

        other.LetGoAfter(1000);
        EXPECT_EQ(RunCli(L"use octaga --wait " + std::to_wstring(CeilingMs() / 1000)).exitCode, 0u);
    }
    // Another account made an object of that name first: refused at once, whatever the wait. A wait twice the
    // ceiling tells "at once" from "after the wait" with a margin that no load eats.
    UniqueKernelHandle planted = PlantMutexOwnedByUser(kSwitchLockName, L"D:(A;;GA;;;WD)");
    ASSERT_TRUE(planted);
    const ULONGLONG start = GetTickCount64();
    const ProcessResult foreign =
        RunCli(L"use flux --wait " + std::to_wstring(std::min<DWORD>(2 * CeilingMs() / 1000, 86400)));
    EXPECT_EQ(foreign.exitCode, 6u);
    EXPECT_LT(GetTickCount64() - start, CeilingMs()) << "it waited instead of refusing at once";
    EXPECT_TRUE(Has(foreign.err, "n'appartient pas aux Administrateurs")) << foreign.err;
}

TEST_F(CliTest, SwitchesStartedTogetherNeverLeaveAMix) {
    // Three at once: without the lock 2 or 3 of these 20 rounds left a mix here.
    const auto holds = [&](const ViewerRecord &viewer) {
        const auto now = ReadPlaces();
        return std::ranges::all_of(FinalValues(SwitchWrites(viewer, Scope::Machine)),
                                   [&](const RegistryWrite &place) { return now.at(place.path) == place.value; });
    };
    int mixed = 0;
    for (int round = 0; round < 20; ++round) {
        FillPlaces("other");
        const std::vector<ProcessResult> results = RunCliTogether({L"use octaga", L"use cosmoplayer", L"use pivoron"});
        for (const ProcessResult &result : results)
            EXPECT_EQ(result.exitCode, 0u) << result.err;
        mixed += !holds(Viewers()[5]) && !holds(Viewers()[3]) && !holds(Viewers()[2]);
    }
    EXPECT_EQ(mixed, 0) << "rounds that left a mix of viewers";
}

TEST_F(CliTest, ShellIsToldOnceAfterASwitchAndNotAfterOneRefusedAtItsFirstWrite) {
    Win32Registry registry;
    FakeBackupStore backup;
    backup.stored = "kept";
    RecordingNotifier shell;
    const std::string first = Places().front();
    const std::wstring key = Widen(first.substr(first.find('\\') + 1, first.rfind('\\') - first.find('\\') - 1));
    SetPlace(first, "other");
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, key, kDenyWrites));
    EXPECT_EQ(SwitchViewer(Viewers()[0], {registry, registry, backup, shell}).writesDone, 0u);
    EXPECT_EQ(shell.calls, 0);
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, key, kAllowAll));
    EXPECT_TRUE(SwitchViewer(Viewers()[0], {registry, registry, backup, shell}).Succeeded());
    EXPECT_EQ(shell.calls, 1);
}

} // namespace
} // namespace quelvo::test
