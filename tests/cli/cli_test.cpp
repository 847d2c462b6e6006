#include "cli_fixture.h"

#include "../win/registry_fixture.h"
#include "core/reg_file.h"
#include "core/restore.h"
#include "platform/registry_win.h"
#include "platform/switch_fakes.h"
#include "platform/text_win.h"

#include <nlohmann/json.hpp>

namespace quelvo::test {
namespace {

const std::string kUserChoiceX3d =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.x3d\\UserChoice\\ProgId";

std::wstring Quoted(const std::wstring &text) {
    return L"\"" + text + L"\"";
}

bool Has(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CliTest, WrongCommandsAndUnknownViewersExitTwoAndWriteNothing) {
    FillPlaces("other");
    const auto before = ReadPlaces();
    for (const wchar_t *wrong : {L"", L"frobnicate", L"use", L"use octaga flux", L"status --dry-run"}) {
        const ProcessResult result = RunCli(wrong);
        EXPECT_EQ(result.exitCode, 2u) << Narrow(wrong);
        EXPECT_TRUE(Has(result.err, "Usage : quelvo-cli")) << Narrow(wrong);
    }
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
        EXPECT_TRUE(Has(status.out, "Viewer actuel : " + std::string(viewer.displayName) + "\r\n"));
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

TEST_F(CliTest, StatusReportsDriftWhatHidesAndNoViewer) {
    FillPlaces("other");
    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    const std::string changed = Places()[4];
    SetPlace(changed, "by hand");
    ProcessResult status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 1u);
    EXPECT_TRUE(Has(status.out, "≠  " + changed + " = \"by hand\" (attendu : ")) << status.out;

    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    SetPlace("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\", "Mine.Wrl");
    SetPlace(kUserChoiceX3d, "Mine.X3d");
    status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 1u);
    EXPECT_TRUE(Has(status.out, ".wrl : valeur par utilisateur HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\ = "
                                "\"Mine.Wrl\"")) << status.out;
    EXPECT_TRUE(Has(status.out, ".x3d : choix « Ouvrir avec » de l'utilisateur " + kUserChoiceX3d + " = \"Mine.X3d\""));
    const nlohmann::json document = nlohmann::json::parse(RunCli(L"status --json").out);
    EXPECT_EQ(document["viewer"], "Octaga");
    EXPECT_EQ(document["exitCode"], 1);
    EXPECT_EQ(document["locations"].size(), 29u);
    ASSERT_EQ(document["hiding"].size(), 2u);
    EXPECT_EQ(document["hiding"][1]["value"], "Mine.X3d");

    DeleteTree(HKEY_CLASSES_ROOT, L".wrl");
    status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 3u);
    EXPECT_TRUE(Has(status.out, "aucun viewer reconnu"));
    EXPECT_TRUE(nlohmann::json::parse(RunCli(L"status --json").out)["viewer"].is_null());
}

TEST_F(CliTest, RefusedWriteExitsFiveNamesTheKeyAndKeepsEarlierValues) {
    FillPlaces("other");
    const std::vector<RegistryWrite> writes = SwitchWrites(Viewers()[5], Scope::Machine); // Octaga
    const std::string refused = writes[6].path, key = refused.substr(0, refused.rfind('\\'));
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, Widen(key.substr(key.find('\\') + 1)), kDenyWrites));
    const ProcessResult result = RunCli(L"use octaga");
    EXPECT_EQ(result.exitCode, 5u);
    EXPECT_TRUE(Has(result.err, refused)) << result.err;
    EXPECT_TRUE(Has(result.err, "6 valeurs écrites")) << result.err;
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
    for (const RegistryWrite &write : SwitchWrites(Viewers()[6], Scope::CurrentUser))
        expected[write.path] = write.value;
    EXPECT_EQ(ReadPlaces(Scope::CurrentUser), expected);
    const nlohmann::json document = nlohmann::json::parse(RunCli(L"status --json").out);
    ASSERT_EQ(document["hiding"].size(), kExtensions.size());
    for (const auto &hiding : document["hiding"])
        EXPECT_EQ(hiding["kind"], "userDefault");
    EXPECT_FALSE(ReadFileBytes(MachineBackupFile())) << "a per-user switch keeps no machine backup";
    ASSERT_TRUE(ReadFileBytes(UserBackupFile())) << "but the user's own";
    EXPECT_TRUE(ReadBackup(*ReadFileBytes(UserBackupFile()), Scope::CurrentUser).Accepted());
}

TEST_F(CliTest, FirstSwitchWritesTheMachineBackupOnce) {
    FillPlaces("before");
    const ProcessResult first = RunCli(L"use octaga");
    EXPECT_TRUE(Has(first.out, "associations-before-quelvo.reg ; pour y revenir : quelvo-cli restore")) << first.out;
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
    EXPECT_FALSE(Has(second.out, "associations-before-quelvo.reg"));
    EXPECT_EQ(ReadFileBytes(MachineBackupFile()), kept);
}

class NoDisplay : public ViewerDisplay {
    void SetStatusText(std::string_view) override {}
    void SetViewerChecked(const ViewerRecord &, bool) override {}
};

TEST_F(CliTest, ShellIsToldOnceAfterASwitchAndNotAfterOneRefusedAtItsFirstWrite) {
    Win32Registry registry;
    FakeBackupStore backup;
    backup.stored = "kept";
    RecordingNotifier shell;
    NoDisplay display;
    const std::string first = Places().front();
    const std::wstring key = Widen(first.substr(first.find('\\') + 1, first.rfind('\\') - first.find('\\') - 1));
    SetPlace(first, "other");
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, key, kDenyWrites));
    EXPECT_EQ(SwitchViewer(Viewers()[0], {registry, registry, backup, shell}, display).writesDone, 0u);
    EXPECT_EQ(shell.calls, 0);
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, key, kAllowAll));
    EXPECT_TRUE(SwitchViewer(Viewers()[0], {registry, registry, backup, shell}, display).Succeeded());
    EXPECT_EQ(shell.calls, 1);
}

} // namespace
} // namespace quelvo::test
