#include "cli_fixture.h"

#include "../win/registry_fixture.h"
#include "core/backup.h"
#include "platform/registry_win.h"
#include "platform/switch_fakes.h"
#include "platform/text_win.h"

#include <nlohmann/json.hpp>

namespace quelvo::test {
namespace {

const std::string kUserChoiceX3d =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.x3d\\UserChoice\\ProgId";

std::wstring Quoted(const std::wstring &path) {
    return L"\"" + path + L"\"";
}

TEST_F(CliTest, UsageAndUnknownViewersExitTwoAndWriteNothing) {
    FillPlaces("other");
    const auto before = ReadPlaces();
    const ProcessResult help = RunCli(L"--help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_NE(help.out.find("use <viewer>"), std::string::npos);
    for (const wchar_t *wrong : {L"", L"frobnicate", L"use", L"use octaga flux", L"status --dry-run"}) {
        const ProcessResult result = RunCli(wrong);
        EXPECT_EQ(result.exitCode, 2u) << Narrow(wrong);
        EXPECT_NE(result.err.find("Usage : quelvo-cli"), std::string::npos) << Narrow(wrong);
    }
    const ProcessResult unknown = RunCli(L"use \"Cosmo Player 2\"");
    EXPECT_EQ(unknown.exitCode, 2u);
    for (const ViewerRecord &viewer : Viewers())
        EXPECT_NE(unknown.err.find(viewer.displayName), std::string::npos) << viewer.displayName;
    EXPECT_EQ(RunCli(L"use \"BS Contact\" --dry-run").exitCode, 0u);
    EXPECT_EQ(ReadPlaces(), before);
    EXPECT_FALSE(ReadFileBytes(MachineBackupFile()));
}

TEST_F(CliTest, ExportThenRegImportGivesExactlyWhatUseGives) {
    for (const ViewerRecord &viewer : Viewers()) {
        SCOPED_TRACE(std::string(viewer.displayName));
        const std::wstring name = L"\"" + Widen(viewer.displayName) + L"\"";
        FillPlaces("other");
        ASSERT_EQ(RunCli(L"use " + name).exitCode, 0u);
        const auto used = ReadPlaces();
        FillPlaces("other");
        const std::wstring file = TempFile(L"export.reg");
        ASSERT_EQ(RunCli(L"export " + name + L" -o " + Quoted(file)).exitCode, 0u);
        ASSERT_EQ(RegImport(file), 0u);
        EXPECT_EQ(ReadPlaces(), used);
        EXPECT_EQ(RunCli(L"export " + name).out, ReadFileBytes(file)) << "redirected, stdout carries the file";
    }
}

TEST_F(CliTest, BackupThenUseThenImportPutsEveryPlaceBackAbsentOnesIncluded) {
    FillPlaces("before");
    const std::vector<std::string> places = Places();
    SetPlace(places[2], std::nullopt);
    SetPlace(places[7], "C:\\Program Files\\\"quoted\" é");
    const auto before = ReadPlaces();
    ASSERT_FALSE(before.at(places[2]));

    const std::wstring file = TempFile(L"backup.reg");
    ASSERT_EQ(RunCli(L"backup -o " + Quoted(file)).exitCode, 0u);
    ASSERT_EQ(RunCli(L"use flux").exitCode, 0u);
    ASSERT_NE(ReadPlaces(), before);
    ASSERT_EQ(RegImport(file), 0u);
    EXPECT_EQ(ReadPlaces(), before);
}

TEST_F(CliTest, StatusExitCodesAndLines) {
    FillPlaces("other");
    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    ProcessResult status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 0u) << status.out;
    EXPECT_NE(status.out.find("Viewer actuel : Octaga"), std::string::npos);
    EXPECT_NE(status.out.find("Bilan : cohérent."), std::string::npos);

    const std::string changed = Places()[4];
    SetPlace(changed, "by hand");
    status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 1u);
    EXPECT_NE(status.out.find("≠  " + changed + " = \"by hand\" (attendu : "), std::string::npos) << status.out;

    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    SetPlace("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\", "Mine.Wrl");
    SetPlace(kUserChoiceX3d, "Mine.X3d");
    status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 1u);
    EXPECT_NE(status.out.find(".wrl : valeur par utilisateur HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\ = \"Mine.Wrl\""),
              std::string::npos)
        << status.out;
    EXPECT_NE(status.out.find(".x3d : choix « Ouvrir avec » de l'utilisateur " + kUserChoiceX3d + " = \"Mine.X3d\""),
              std::string::npos);
    const nlohmann::json document = nlohmann::json::parse(RunCli(L"status --json").out);
    EXPECT_EQ(document["viewer"], "Octaga");
    EXPECT_EQ(document["exitCode"], 1);
    EXPECT_EQ(document["locations"].size(), 29u);
    ASSERT_EQ(document["hiding"].size(), 2u);
    EXPECT_EQ(document["hiding"][1]["kind"], "userChoice");
    EXPECT_EQ(document["hiding"][1]["value"], "Mine.X3d");

    DeleteTree(HKEY_CLASSES_ROOT, L".wrl");
    status = RunCli(L"status");
    EXPECT_EQ(status.exitCode, 3u);
    EXPECT_NE(status.out.find("aucun viewer reconnu"), std::string::npos);
    EXPECT_TRUE(nlohmann::json::parse(RunCli(L"status --json").out)["viewer"].is_null());
}

TEST_F(CliTest, RefusedWriteExitsFiveNamesTheKeyAndKeepsEarlierValues) {
    FillPlaces("other");
    const std::vector<RegistryWrite> writes = SwitchWrites(Viewers()[5], Scope::Machine); // Octaga, standard order
    const std::string refused = writes[6].path;
    const std::string key = refused.substr(0, refused.rfind('\\'));
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, Widen(key.substr(key.find('\\') + 1)), kDenyWrites));

    const ProcessResult result = RunCli(L"use octaga");
    EXPECT_EQ(result.exitCode, 5u);
    EXPECT_NE(result.err.find(refused), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("6 valeurs écrites"), std::string::npos) << result.err;
    const auto now = ReadPlaces();
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(now.at(writes[i].path), writes[i].value) << writes[i].path;
    EXPECT_EQ(now.at(refused), "other " + refused);
}

TEST_F(CliTest, UseForTheUserLeavesTheMachineAloneAndStatusShowsWhatHides) {
    FillPlaces("other");
    const auto machine = ReadPlaces();
    const ProcessResult result = RunCli(L"use --user flux");
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_EQ(ReadPlaces(), machine);
    std::map<std::string, std::optional<std::string>> expected; // the later write to a key is what stays
    for (const RegistryWrite &write : SwitchWrites(Viewers()[6], Scope::CurrentUser)) // Flux
        expected[write.path] = write.value;
    EXPECT_EQ(ReadPlaces(Scope::CurrentUser), expected);
    const nlohmann::json document = nlohmann::json::parse(RunCli(L"status --json").out);
    ASSERT_EQ(document["hiding"].size(), kExtensions.size());
    for (const auto &hiding : document["hiding"])
        EXPECT_EQ(hiding["kind"], "userDefault");
    EXPECT_FALSE(ReadFileBytes(MachineBackupFile())) << "a per-user switch keeps no machine backup";
}

TEST_F(CliTest, FirstSwitchWritesTheMachineBackupOnce) {
    FillPlaces("before");
    const std::wstring expected = TempFile(L"expected.reg");
    ASSERT_EQ(RunCli(L"backup -o " + Quoted(expected)).exitCode, 0u);
    const ProcessResult first = RunCli(L"use octaga");
    ASSERT_EQ(first.exitCode, 0u);
    EXPECT_NE(first.out.find("associations-before-quelvo.reg"), std::string::npos);
    ASSERT_TRUE(ReadFileBytes(MachineBackupFile()));
    EXPECT_EQ(ReadFileBytes(MachineBackupFile()), ReadFileBytes(expected));
    const ProcessResult second = RunCli(L"use flux");
    ASSERT_EQ(second.exitCode, 0u);
    EXPECT_EQ(second.out.find("associations-before-quelvo.reg"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(MachineBackupFile()), ReadFileBytes(expected));
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
    const std::string first = SwitchWrites(Viewers()[0], Scope::Machine).front().path;
    const std::string key = first.substr(0, first.rfind('\\'));
    SetPlace(first, "other");
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, Widen(key.substr(key.find('\\') + 1)), kDenyWrites));
    EXPECT_EQ(SwitchViewer(Viewers()[0], {registry, registry, backup, shell}, display).writesDone, 0u);
    EXPECT_EQ(shell.calls, 0);
    ASSERT_TRUE(SetKeySecurity(HKEY_LOCAL_MACHINE, Widen(key.substr(key.find('\\') + 1)), kAllowAll));
    EXPECT_TRUE(SwitchViewer(Viewers()[0], {registry, registry, backup, shell}, display).Succeeded());
    EXPECT_EQ(shell.calls, 1);
}

} // namespace
} // namespace quelvo::test
