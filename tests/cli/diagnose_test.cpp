// diagnose and export --ie-mode: the chain's document in process, then quelvo-cli.exe over a state planted in the
// real registry of the test prefix, one link at a time, and Internet Explorer mode imported with reg.exe.
#include "cli_fixture.h"

#include "../win/registry_fixture.h"
#include "cli/diagnose.h"
#include "cli/messages.h"
#include "cli/report.h"
#include "core/association.h"
#include "core/ie_mode.h"
#include "core/wow64.h"
#include "fakes/registry_fake.h"
#include "fakes/system_facts_fake.h"
#include "platform/text_win.h"

#include <nlohmann/json.hpp>

#include <functional>

namespace quelvo::test {
namespace {

const ViewerRecord &kOctaga = Viewers()[5];
const std::wstring kClsid = Widen(kOctaga.vrmlClsid);
const std::wstring kServerKey = L"SOFTWARE\\Classes\\CLSID\\" + kClsid + L"\\InprocServer32";
const std::wstring kKillBitKey = L"SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\" + kClsid;
const std::wstring kCommandKey = L"SOFTWARE\\Classes\\Octaga.Octaga.wrl\\shell\\open\\command";
const std::wstring kEdgeKey = L"SOFTWARE\\Policies\\Microsoft\\Edge";
const std::wstring kWineVersionKey = L"Software\\Wine\\AppDefaults\\quelvo-cli.exe";
const std::array<std::string, 6> kIds = {"values", "hidden", "control", "blocked", "browser", "files"};

std::wstring SysWow64File() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemWow64DirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length) + L"\\quelvo-diagnose-test.ocx";
}

struct LinkStates {
    Outcome exitCode;
    bool ready;
    std::map<std::string, std::string> states; // id -> state
    nlohmann::json links;
};

class DiagnoseTest : public CliTest {
protected:
    // Octaga in place with its control in SysWOW64, registered with a System32 path as 32-bit installers write it,
    // and its file type opening a program that exists.
    void SetUp() override {
        CliTest::SetUp();
        ASSERT_EQ(RunCli(L"use octaga").exitCode, 0u);
        const std::wstring server = L"%SystemRoot%\\System32\\quelvo-diagnose-test.ocx";
        SetValue32(kServerKey, L"", REG_EXPAND_SZ, server.c_str(), static_cast<DWORD>((server.size() + 1) * 2));
        HANDLE file = CreateFileW(SysWow64File().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        SetStringValue(HKEY_LOCAL_MACHINE, kCommandKey, L"", L"\"C:\\windows\\notepad.exe\" \"%1\"");
    }
    void TearDown() override {
        DeleteTree32(L"SOFTWARE\\Classes\\CLSID", kClsid);
        DeleteTree32(L"SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility", kClsid);
        DeleteFileW(SysWow64File().c_str());
        DeleteTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Octaga.Octaga.wrl");
        DeleteTree(HKEY_CURRENT_USER, L"Software\\Classes\\MIME\\Database\\Content Type\\model/x3d");
        DeleteTree(HKEY_LOCAL_MACHINE, kEdgeKey);
        DeleteTree(HKEY_CURRENT_USER, kWineVersionKey);
        CliTest::TearDown();
    }
    LinkStates Diagnose() {
        const ProcessResult result = RunCli(L"diagnose octaga --json");
        LinkStates states{result.exitCode, false, {}, {}};
        const nlohmann::json document = nlohmann::json::parse(result.out, nullptr, false);
        EXPECT_FALSE(document.is_discarded()) << result.out << result.err;
        if (document.is_discarded()) return states;
        EXPECT_EQ(document["format"], 1);
        EXPECT_EQ(document["viewer"], "Octaga");
        states.ready = document["ready"];
        states.links = document["links"];
        for (const nlohmann::json &link : states.links)
            states.states[link["id"]] = link["state"];
        return states;
    }
};

TEST_F(DiagnoseTest, JsonFollowsAStatePlantedForEachLinkInTheRealRegistry) {
    const LinkStates ready = Diagnose();
    EXPECT_EQ(ready.exitCode, 0u) << ready.links.dump();
    EXPECT_TRUE(ready.ready);
    ASSERT_EQ(ready.links.size(), 6u);
    for (std::size_t i = 0; i < kIds.size(); ++i) {
        EXPECT_EQ(ready.links[i]["id"], kIds[i]) << "in the chain's order";
        EXPECT_EQ(ready.links[i]["state"], "ok") << ready.links[i].dump();
    }

    struct Plant {
        std::string breaks;
        std::function<void()> plant;
        std::string says;
    };
    const std::string stored = Wow64StoredPath("HKEY_LOCAL_MACHINE\\" + Narrow(kKillBitKey) + "\\Compatibility Flags");
    const std::vector<Plant> plants = {
        {"values", [&] { SetPlace(std::string(kMachineClasses) + ".wrz\\", "Other.Type"); }, ".wrz"},
        {"hidden",
         [] {
             SetStringValue(HKEY_CURRENT_USER, L"Software\\Classes\\MIME\\Database\\Content Type\\model/x3d", L"CLSID",
                            L"{mine}");
         },
         "model/x3d"},
        {"control", [] { DeleteFileW(SysWow64File().c_str()); }, "SysWOW64"},
        {"blocked",
         [] {
             const DWORD kill = 0x400;
             SetValue32(kKillBitKey, L"Compatibility Flags", REG_DWORD, &kill, sizeof kill);
         },
         stored},
        {"files", [] { SetStringValue(HKEY_LOCAL_MACHINE, kCommandKey, L"", L"C:\\nowhere\\viewer.exe \"%1\""); },
         "C:\\nowhere\\viewer.exe"}};
    for (const Plant &plant : plants) {
        SCOPED_TRACE(plant.breaks);
        TearDown();
        SetUp();
        plant.plant();
        const LinkStates states = Diagnose();
        EXPECT_EQ(states.exitCode, 1u);
        EXPECT_FALSE(states.ready);
        for (const std::string &id : kIds)
            EXPECT_EQ(states.states.at(id), id == plant.breaks ? "broken" : "ok") << id << ": " << states.links.dump();
        const auto link = std::ranges::find(kIds, plant.breaks) - kIds.begin();
        EXPECT_NE(states.links[link].dump().find(nlohmann::json(plant.says).dump().substr(1, plant.says.size())),
                  std::string::npos)
            << states.links[link].dump();
        EXPECT_FALSE(states.links[link]["advice"].get<std::string>().empty());
    }
}

// Wine 8 knows no Windows 11: on Windows 10 whether Internet Explorer 11 still opens cannot be told, until Internet
// Explorer mode receives the viewer's files.
TEST_F(DiagnoseTest, InternetExplorerModeExportedAndImportedOpensTheBrowserLinkOnWindows10) {
    SetStringValue(HKEY_CURRENT_USER, kWineVersionKey, L"Version", L"win10");
    LinkStates before = Diagnose();
    EXPECT_EQ(before.states["browser"], "unknown") << before.links.dump();
    EXPECT_EQ(before.exitCode, 1u);

    const std::wstring file = TempFile(L"ie-mode.reg");
    const ProcessResult exported = RunCli(L"export --ie-mode octaga --site www.example.org/3d -o \"" + file + L"\"");
    ASSERT_EQ(exported.exitCode, 0u) << exported.err;
    const std::optional<std::string> sites = ReadFileBytes(TempFile(L"ie-mode-sites.xml"));
    ASSERT_TRUE(sites.has_value()) << "the site list beside the .reg file";
    EXPECT_NE(sites->find("<site url=\"www.example.org/3d\">"), std::string::npos) << *sites;
    EXPECT_NE(sites->find("<open-in>IE11</open-in>"), std::string::npos);
    ASSERT_EQ(RegImport(file), 0u);
    const RawValue list = GetRawValue(HKEY_LOCAL_MACHINE, kEdgeKey, Widen(kIeModeSiteList));
    EXPECT_TRUE(list.Text().starts_with(L"file:///")) << "the policy points at the site list";
    EXPECT_NE(list.Text().find(L"ie-mode-sites.xml"), std::wstring::npos);

    LinkStates after = Diagnose();
    EXPECT_EQ(after.states["browser"], "ok") << after.links.dump();
    EXPECT_EQ(after.exitCode, 0u);
    EXPECT_EQ(RunCli(L"export --ie-mode octaga --site x").exitCode, 2u) << "a site list needs -o";
}

// In process: what was read, in the document as it is, and planted controls escaped in the text.
TEST(DiagnoseDocument, JsonCarriesWhatWasReadAndTheTextEscapesPlantedControls) {
    FakeRegistry registry;
    FakeSystem system;
    for (const RegistryWrite &write : BuildAssociationList(kOctaga))
        registry.SetText(write.path, write.value);
    registry.SetText(std::string(kMachineClasses) + "Octaga.Octaga.wrl\\shell\\open\\command\\",
                     "\"C:\\x\x1B[31m\u202E.exe\"");
    const Chain chain = DiagnoseChain({kOctaga, registry, system, Account::User});
    const nlohmann::json control = nlohmann::json::parse(cli::SafeJson(cli::ChainJson(chain), 2))["links"][2];
    EXPECT_EQ(control["state"], "broken");
    EXPECT_EQ(control["read"][0],
              nlohmann::json({{"path", Wow64StoredPath(std::string(kMachineClasses) + "CLSID\\" +
                                                       std::string(kOctaga.vrmlClsid) + "\\InprocServer32\\")},
                              {"value", "absent"}}));
    const std::string text = cli::ChainText(chain);
    EXPECT_EQ(text.find('\x1B'), std::string::npos) << text;
    EXPECT_EQ(text.find("\u202E"), std::string::npos) << text;
    EXPECT_NE(text.find("\\x1B[31m\\u{202E}.exe"), std::string::npos) << "the program named, escaped: " << text;
    EXPECT_NE(text.find("Bilan : pas prêt ; premier maillon cassé : control."), std::string::npos) << text;
}

} // namespace
} // namespace quelvo::test
