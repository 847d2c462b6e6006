// The verbs for many PCs: the default-associations file, check, and a use that leaves a PC in place alone.
#include "cli_fixture.h"

#include "../win/registry_fixture.h"
#include "cli/commands.h"
#include "core/default_associations.h"
#include "core/in_place.h"
#include "core/registry_path.h"
#include "platform/registry_win.h"
#include "platform/switch_lock_win.h"
#include "platform/unique_handle_win.h"
#include "platform/text_win.h"

#include <nlohmann/json.hpp>

#include <tuple>

namespace quelvo::test {
namespace {

bool Has(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

// A check's output: exactly one line, within what Intune keeps.
std::string OnlyLine(const ProcessResult &result) {
    EXPECT_TRUE(result.out.ends_with("\r\n")) << result.out;
    const std::string line = result.out.substr(0, result.out.find("\r\n"));
    EXPECT_EQ(line.size() + 2, result.out.size()) << "one line only: " << result.out;
    EXPECT_LE(line.size(), 2048u);
    return line;
}

void DenyWritesToEveryPlace() {
    for (const std::string &path : Places()) {
        const RegistryPath parsed = *ParseRegistryPath(path);
        ASSERT_TRUE(SetKeySecurity(RootKey(parsed.root), Widen(parsed.key), kDenyWrites)) << path;
    }
}

TEST_F(CliTest, ExportDismWritesTheFileWarnsOfAnUnregisteredFileTypeAndRefusesUser) {
    DeleteTree(HKEY_CLASSES_ROOT, L"X3D.World");
    const std::wstring file = TempFile(L"assoc.xml");
    ProcessResult result = RunCli(L"export \"bs contact\" --dism -o \"" + file + L"\"");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_TRUE(Has(result.err, "« X3D.World » n'est pas enregistré")) << result.err;
    EXPECT_TRUE(Has(result.err, ".wrl.gz, .x3d.gz, .x3dv.gz ne sont pas dans le fichier")) << result.err;
    EXPECT_EQ(ReadFileBytes(file), DefaultAssociationsXml(Viewers()[4]));
    SetStringValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\X3D.World", L"", L"X3D");
    result = RunCli(L"export \"bs contact\" --dism");
    DeleteTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\X3D.World");
    EXPECT_EQ(result.out, DefaultAssociationsXml(Viewers()[4])) << "redirected, stdout carries the file";
    EXPECT_FALSE(Has(result.err, "n'est pas enregistré")) << result.err;
    EXPECT_FALSE(Has(RunCli(L"export blaxxun --dism").err, "Remarque")) << "Blaxxun takes no .gz extension";
    EXPECT_EQ(RunCli(L"export octaga --dism --user").exitCode, 2u);
}

TEST_F(CliTest, CheckAnswersInOneLineForAPcInPlaceAnotherViewerAndAUserKeyThatHides) {
    FillPlaces("other");
    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    ProcessResult result = RunCli(L"check octaga");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_TRUE(OnlyLine(result).starts_with("en place : Octaga sur ce PC")) << result.out;
    EXPECT_EQ(EndState(Viewers()[5], Scope::Machine).size(), 20u);
    // The same text as REG_EXPAND_SZ reads the same to the shell: check and status agree that it is in place.
    const std::string first = Places().front(),
                      key = first.substr(first.find('\\') + 1, first.rfind('\\') - first.find('\\') - 1);
    SetStringValue(HKEY_LOCAL_MACHINE, Widen(key), L"CLSID", Widen(*ReadPlaces().at(first)), REG_EXPAND_SZ);
    EXPECT_EQ(RunCli(L"check octaga").exitCode, 0u);
    EXPECT_EQ(nlohmann::json::parse(RunCli(L"status --json").out)["locations"][0]["matches"], true);

    result = RunCli(L"check flux");
    EXPECT_EQ(result.exitCode, 1u);
    const std::string differs = OnlyLine(result);
    EXPECT_TRUE(differs.starts_with("à réparer : Flux sur ce PC ; ")) << differs;
    EXPECT_TRUE(differs.ends_with("...")) << "every place differs: the line is cut";

    // The machine repair cannot change a per-user key: named, not counted, unless the user's own check asks.
    SetPlace("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\", "Mine.Wrl");
    result = RunCli(L"check octaga");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_TRUE(Has(OnlyLine(result), ".wrl : sa propre clé HKEY_CURRENT_USER\\Software\\Classes\\.wrl")) << result.out;
    result = RunCli(L"check octaga --user");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_TRUE(OnlyLine(result).starts_with("à réparer : Octaga pour cet utilisateur")) << result.out;
    ASSERT_EQ(RunCli(L"use octaga --user").exitCode, 0u);
    EXPECT_EQ(RunCli(L"check octaga --user").exitCode, 0u) << "the user's own switch repairs what they get";

    const ProcessResult json = RunCli(L"check octaga --json");
    EXPECT_EQ(json.out.find('\n'), json.out.size() - 1) << "one line";
    const nlohmann::json document = nlohmann::json::parse(json.out);
    EXPECT_EQ(document["format"], 1);
    EXPECT_EQ(document["exitCode"], 0);
    EXPECT_EQ(document["machine"].size(), EndState(Viewers()[5], Scope::Machine).size());
    EXPECT_EQ(nlohmann::json::parse(RunCli(L"status --json").out)["format"], 1);

    for (const wchar_t *wrong : {L"check", L"check nobody"}) {
        result = RunCli(wrong);
        EXPECT_EQ(result.exitCode, 2u) << Narrow(wrong);
        EXPECT_TRUE(OnlyLine(result).starts_with("commande incorrecte")) << Narrow(wrong);
    }
}

TEST_F(CliTest, UseInPlaceWritesNothingKeepsNoBackupAndRewriteStillWrites) {
    FillPlaces("other");
    ASSERT_EQ(RunCli(L"use flux").exitCode, 0u);
    DeleteFileW(MachineBackupFile().c_str());
    const auto before = ReadPlaces();
    DenyWritesToEveryPlace();
    ProcessResult result = RunCli(L"use flux");
    EXPECT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_TRUE(Has(result.err, "déjà en place")) << result.err;
    EXPECT_FALSE(ReadFileBytes(MachineBackupFile())) << "nothing to change, nothing to keep";
    EXPECT_EQ(ReadPlaces(), before);
    result = RunCli(L"use flux --rewrite");
    EXPECT_EQ(result.exitCode, 5u) << "the writes are made, and refused";
}

// In this process, as the command line runs it: a PC in place never loads shell32 (and so user32, gdi32 and the
// display driver), a change does.
TEST_F(CliTest, UseInPlaceLeavesShell32Unloaded) {
    ASSERT_EQ(GetModuleHandleW(L"shell32.dll"), nullptr) << "the test program loaded shell32 itself";
    FillPlaces("other");
    ASSERT_EQ(RunCli(L"use cortona").exitCode, 0u);
    cli::Console console;
    const auto use = [&](const char *viewer) { return cli::Run(*cli::ParseArguments({"use", viewer}), console, Account::User); };
    EXPECT_EQ(use("cortona"), 0);
    EXPECT_EQ(GetModuleHandleW(L"shell32.dll"), nullptr);
    EXPECT_EQ(use("flux"), 0);
    EXPECT_NE(GetModuleHandleW(L"shell32.dll"), nullptr) << "a change tells the shell";
}

// Under SYSTEM or a service HKEY_CURRENT_USER is no person's: --also-user is a wrong command line, and nothing is
// written, not even the machine's part.
TEST_F(CliTest, AlsoUserIsRefusedAsSystemBeforeAnyWrite) {
    FillPlaces("other");
    const auto machine = ReadPlaces(), user = ReadPlaces(Scope::CurrentUser);
    cli::Console console;
    EXPECT_EQ(cli::Run(*cli::ParseArguments({"use", "octaga", "--also-user"}), console, Account::SystemOrService), 2);
    EXPECT_EQ(ReadPlaces(), machine);
    EXPECT_EQ(ReadPlaces(Scope::CurrentUser), user);
}

// Wine's token reads as elevated: a lock that cannot be opened and a token of our choosing stand in for a standard
// user's process (or an administrator's filtered one), whose token lacks the lock's owner.
class TokenOf : public ShellElevation {
public:
    explicit TokenOf(Rights rights) : rights_(rights) {}
    Rights ReadRights() override { return rights_; }

private:
    Rights rights_;
};

// The exit code of the verb run in this process, and what it said on the error output.
std::pair<int, std::string> RunGuarded(const std::vector<std::string> &words, SwitchLock &lock, Elevation &token,
                                       const std::wstring &errFile) {
    const HANDLE file =
        CreateFileW(errFile.c_str(), GENERIC_WRITE | GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const HANDLE previous = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_ERROR_HANDLE, file);
    cli::Console console; // takes the handles as they are now
    SetStdHandle(STD_ERROR_HANDLE, previous);
    const int code = cli::Run(*cli::ParseArguments(words), console, Account::User, {lock, token});
    CloseHandle(file);
    return {code, ReadFileBytes(errFile).value_or("")};
}

TEST_F(CliTest, WithoutRightsAPcInPlaceIsLeftAloneAndAWriteIsRefusedAtTheFirstNotByTheLock) {
    const std::wstring name = L"Global\\Quelvo.Test.Unopenable." + std::to_wstring(GetCurrentProcessId());
    UniqueKernelHandle planted(CreateEventW(nullptr, TRUE, FALSE, name.c_str())); // no mutex can be opened there
    Win32SwitchLock lock(name);
    TokenOf standardUser({TokenElevationTypeDefault, false}), filtered({TokenElevationTypeLimited, false}),
        elevated({TokenElevationTypeFull, true});

    FillPlaces("other");
    ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
    const std::wstring saved = TempFile(L"saved.reg");
    ASSERT_EQ(RunCli(L"backup -o \"" + saved + L"\"").exitCode, 0u);
    DeleteFolder(MachineFolder());
    const auto before = ReadPlaces();
    DenyWritesToEveryPlace(); // what a standard user meets under HKEY_LOCAL_MACHINE
    const std::wstring err = TempFile(L"err.txt");

    auto [code, said] = RunGuarded({"use", "octaga"}, lock, standardUser, err);
    EXPECT_EQ(code, 0) << "in place: nothing to write, nothing refused " << said;
    std::tie(code, said) = RunGuarded({"use", "flux"}, lock, filtered, err);
    EXPECT_EQ(code, 5) << said;
    EXPECT_TRUE(Has(said, "ajoutez --user")) << said;
    std::tie(code, said) = RunGuarded({"restore", Narrow(saved)}, lock, standardUser, err);
    EXPECT_EQ(code, 5) << said;
    EXPECT_TRUE(Has(said, "en tant qu'administrateur")) << said;
    EXPECT_EQ(ReadPlaces(), before);
    EXPECT_EQ(GetFileAttributesW(MachineFolder().c_str()), INVALID_FILE_ATTRIBUTES) << "no backup for a refused switch";

    std::tie(code, said) = RunGuarded({"use", "flux"}, lock, elevated, err);
    EXPECT_EQ(code, 6) << "an administrator never goes around a lock that cannot be opened: " << said;
}

} // namespace
} // namespace quelvo::test
