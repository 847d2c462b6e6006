// The chain from the values to a picture, link by link, on the fake registry and a fake PC: each rule's documented
// cases, then the chain's verdict and exit code.
#include "core/chain.h"
#include "core/association.h"
#include "core/ie_mode.h"
#include "core/reg_file.h"
#include "core/wow64.h"

#include "fakes/registry_fake.h"
#include "fakes/system_facts_fake.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace quelvo {
namespace {

const ViewerRecord &kOctaga = Viewers()[5];
const ViewerRecord &kCosmo = Viewers()[3]; // two controls: VRML and X3D
constexpr std::string_view kPlayer = "C:\\Program Files (x86)\\Viewer\\player.exe";
const std::string kMachineEdge = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft\\Edge\\";
const std::string kUserEdge = "HKEY_CURRENT_USER\\SOFTWARE\\Policies\\Microsoft\\Edge\\";
const std::string kCurrentVersion = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";

std::string Dword(std::uint32_t n) {
    return {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF), static_cast<char>((n >> 16) & 0xFF),
            static_cast<char>(n >> 24)};
}

std::string ServerPath(std::string_view clsid, std::string_view classes = kMachineClasses) {
    return std::string(classes) + "CLSID\\" + std::string(clsid) + "\\InprocServer32\\";
}

std::string KillBit(std::string_view clsid) {
    return "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\" + std::string(clsid) +
           "\\Compatibility Flags";
}

std::string Zone1200(std::string_view root, std::string_view branch, char zone) {
    return std::string(root) + std::string(branch) + "\\Windows\\CurrentVersion\\Internet Settings\\Zones\\" + zone +
           "\\1200";
}

// A PC where every link holds for the viewer: its values, its 32-bit controls and their files, its file type's
// program, on Windows 7.
class World {
public:
    explicit World(const ViewerRecord &viewer) : viewer_(viewer) {
        for (const RegistryWrite &write : BuildAssociationList(viewer))
            registry.SetText(write.path, write.value);
        RegisterControls(registry, system, viewer);
        registry.SetText(std::string(kMachineClasses) + std::string(viewer.extensionProgId) + "\\shell\\open\\command\\",
                         "\"" + std::string(kPlayer) + "\" \"%1\"");
        system.files.insert(std::string(kPlayer));
    }
    Chain Run(Account account = Account::User) { return DiagnoseChain({viewer_, registry, system, account}); }
    Link LinkOf(LinkId id, Account account = Account::User) { return Run(account).links.at(static_cast<int>(id)); }
    void Windows(std::uint32_t major, std::uint32_t build, std::string_view edition = "Professional") {
        system.version = {major, 0, build, true};
        registry.SetText(kCurrentVersion + "EditionID", edition);
        registry.SetText(kCurrentVersion + "InstallationType", "Client");
    }
    void SetDword(const std::string &path, std::uint32_t n) { registry.SetRaw(path, kRegDword, Dword(n)); }

    FakeRegistry registry;
    FakeSystem system;

private:
    const ViewerRecord &viewer_;
};

struct Case {
    const char *name;
    std::function<void(World &)> plant;
    LinkState expected;
    std::string_view says; // a piece of the reason, for a link that is not ok
};

void Expect(const ViewerRecord &viewer, LinkId id, const std::vector<Case> &cases, Account account = Account::User) {
    for (const Case &c : cases) {
        World world(viewer);
        c.plant(world);
        const Link link = world.LinkOf(id, account);
        EXPECT_EQ(LinkStateName(link.state), LinkStateName(c.expected)) << c.name << ": " << link.reason;
        EXPECT_NE(link.reason.find(c.says), std::string::npos) << c.name << ": " << link.reason;
        EXPECT_EQ(link.advice.empty(), c.expected == LinkState::Ok) << c.name;
    }
}

TEST(Chain, ControlIsRegisteredWhereA32BitBrowserLooksWithItsFile) {
    const std::string x3d = std::string(kCosmo.x3dClsid);
    const std::string system32 = "C:\\Windows\\System32\\cosmo.ocx", wow64 = "C:\\Windows\\SysWOW64\\cosmo.ocx";
    const auto expandable = [](World &w, const std::string &path, std::string_view text) {
        std::string data = Utf16Le(text);
        w.registry.SetRaw(Wow64StoredPath(path), kRegExpandSz, data.append(2, '\0'));
    };
    Expect(kCosmo, LinkId::Control,
           {{"both controls registered, files present", [](World &) {}, LinkState::Ok, ""},
            {"the X3D control not registered",
             [&](World &w) { w.registry.DeleteValue(Wow64StoredPath(ServerPath(x3d))); }, LinkState::Broken,
             "n'est pas enregistré là où lit un navigateur 32 bits."},
            {"registered in the 64-bit view only",
             [&](World &w) {
                 w.registry.DeleteValue(Wow64StoredPath(ServerPath(x3d)));
                 w.registry.SetText(ServerPath(x3d), "C:\\64\\viewer.ocx");
             },
             LinkState::Broken, "64 bits seulement"},
            {"the file is missing", [](World &w) { w.system.files.clear(); }, LinkState::Broken,
             "n'existe pas"},
            {"System32 in a 32-bit registration is SysWOW64 on 64-bit Windows",
             [&](World &w) {
                 expandable(w, ServerPath(x3d), "%SystemRoot%\\System32\\cosmo.ocx");
                 w.system.files.insert(wow64);
             },
             LinkState::Ok, ""},
            {"a file in System32 alone is not what a 32-bit process loads",
             [&](World &w) {
                 expandable(w, ServerPath(x3d), "%SystemRoot%\\System32\\cosmo.ocx");
                 w.system.files.insert(system32);
             },
             LinkState::Broken, "SysWOW64"},
            {"on 32-bit Windows System32 is itself",
             [&](World &w) {
                 expandable(w, ServerPath(x3d), "%SystemRoot%\\System32\\cosmo.ocx");
                 w.system.files.insert(system32);
                 w.system.version.is64Bit = false;
             },
             LinkState::Ok, ""},
            {"the user's own registration wins for them, and its file is missing",
             [&](World &w) { w.registry.SetText(Wow64StoredPath(ServerPath(x3d, kUserClasses)), "C:\\gone.ocx"); },
             LinkState::Broken, "C:\\gone.ocx"},
            {"a bare file name is searched for by Windows",
             [&](World &w) { w.registry.SetText(Wow64StoredPath(ServerPath(x3d)), "cosmo.ocx"); }, LinkState::Unknown,
             "sans dossier"}});
    // As SYSTEM the profile is no user's: its registrations are not taken for one.
    Expect(kCosmo, LinkId::Control,
           {{"a service's own registration is not read",
             [&](World &w) { w.registry.SetText(Wow64StoredPath(ServerPath(x3d, kUserClasses)), "C:\\gone.ocx"); },
             LinkState::Ok, ""}},
           Account::SystemOrService);
}

TEST(Chain, BlockedByAKillBitAnAddOnPolicyTheUserAZoneOr64BitTabs) {
    const std::string id(kOctaga.vrmlClsid);
    const std::string policyExt = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Ext\\";
    const std::string userFlags =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\" + id + "\\Flags";
    const std::string tabs = "SOFTWARE\\Policies\\Microsoft\\Internet Explorer\\Main\\Isolation64Bit";
    Expect(kOctaga, LinkId::Blocked,
           {{"nothing blocks", [](World &) {}, LinkState::Ok, ""},
            {"kill bit in the native view", [&](World &w) { w.SetDword(KillBit(id), 0x400); }, LinkState::Broken,
             "kill bit"},
            {"kill bit in the 32-bit view", [&](World &w) { w.SetDword(Wow64StoredPath(KillBit(id)), 0x401); },
             LinkState::Broken, "vue 32 bits"},
            {"other compatibility flags", [&](World &w) { w.SetDword(KillBit(id), 0x20); }, LinkState::Ok, ""},
            {"Add-on List denies it", [&](World &w) { w.registry.SetText(policyExt + "CLSID\\" + id, "0"); },
             LinkState::Broken, "interdit"},
            {"only listed add-ons, and it is not listed", [&](World &w) { w.SetDword(policyExt + "RestrictToList", 1); },
             LinkState::Broken, "pas dans la liste"},
            {"only listed add-ons, and it is allowed",
             [&](World &w) {
                 w.SetDword(policyExt + "RestrictToList", 1);
                 w.registry.SetText(policyExt + "CLSID\\" + id, "1");
             },
             LinkState::Ok, ""},
            {"the user disabled it", [&](World &w) { w.SetDword(userFlags, 1); }, LinkState::Broken, "désactivé"},
            {"the user disabled it, but the policy allows it",
             [&](World &w) {
                 w.SetDword(userFlags, 1);
                 w.registry.SetText(policyExt + "CLSID\\" + id, "1");
             },
             LinkState::Ok, ""},
            {"ActiveX off for the Internet zone by machine policy",
             [](World &w) { w.SetDword(Zone1200("HKEY_LOCAL_MACHINE\\", "SOFTWARE\\Policies\\Microsoft", '3'), 3); },
             LinkState::Broken, "Internet"},
            {"ActiveX off in the user's intranet setting",
             [](World &w) { w.SetDword(Zone1200("HKEY_CURRENT_USER\\", "Software\\Microsoft", '1'), 3); },
             LinkState::Broken, "Intranet local"},
            {"the policy allowing it wins over the user's setting",
             [](World &w) {
                 w.SetDword(Zone1200("HKEY_CURRENT_USER\\", "Software\\Microsoft", '3'), 3);
                 w.SetDword(Zone1200("HKEY_CURRENT_USER\\", "SOFTWARE\\Policies\\Microsoft", '3'), 0);
             },
             LinkState::Ok, ""},
            {"64-bit tabs forced by policy", [&](World &w) { w.SetDword("HKEY_LOCAL_MACHINE\\" + tabs, 1); },
             LinkState::Broken, "64 bits"},
            {"64-bit tabs turned off by policy", [&](World &w) { w.SetDword("HKEY_CURRENT_USER\\" + tabs, 0); },
             LinkState::Ok, ""}});
    Expect(kOctaga, LinkId::Blocked,
           {{"a service's own add-on settings are not read", [&](World &w) { w.SetDword(userFlags, 1); },
             LinkState::Ok, ""}},
           Account::SystemOrService);
}

TEST(Chain, BrowserIsInternetExplorerWhereItOpensOrEdgeInInternetExplorerMode) {
    const auto localFiles = [](World &w, const std::string &root, std::vector<std::string> extensions) {
        w.SetDword(root + std::string(kIeModeLevel), 1);
        w.SetDword(root + std::string(kIeModeLocalFiles), 1);
        for (std::size_t i = 0; i < extensions.size(); ++i)
            w.registry.SetText(root + std::string(kIeModeExtensions) + "\\" + std::to_string(i + 1), extensions[i]);
    };
    const std::vector<std::string> all = {".wrl", ".wrz", ".x3d", ".x3dv", ".x3dvz", ".x3dz"};
    Expect(kOctaga, LinkId::Browser,
           {{"Windows 7 keeps Internet Explorer 11", [](World &) {}, LinkState::Ok, ""},
            {"Windows 11 has none", [](World &w) { w.Windows(10, 22631); }, LinkState::Broken, "Windows 11"},
            {"Windows 10: the docs cannot tell", [](World &w) { w.Windows(10, 19045); }, LinkState::Unknown,
             "14 février 2023"},
            {"Windows 10 LTSC keeps it", [](World &w) { w.Windows(10, 17763, "EnterpriseS"); }, LinkState::Ok, ""},
            {"Windows Server keeps it",
             [&](World &w) {
                 w.Windows(10, 20348, "ServerStandard");
                 w.registry.SetText(kCurrentVersion + "InstallationType", "Server");
             },
             LinkState::Ok, ""},
            {"IE mode without content sent to it",
             [&](World &w) {
                 w.Windows(10, 22631);
                 w.SetDword(kMachineEdge + std::string(kIeModeLevel), 1);
             },
             LinkState::Broken, "ni liste de sites"},
            {"IE mode with a site list",
             [&](World &w) {
                 w.Windows(10, 22631);
                 w.SetDword(kMachineEdge + std::string(kIeModeLevel), 1);
                 w.registry.SetText(kMachineEdge + std::string(kIeModeSiteList), "\\\\server\\sites.xml");
             },
             LinkState::Ok, ""},
            {"IE mode with reloading allowed, by the user's policy",
             [&](World &w) {
                 w.Windows(10, 22631);
                 w.SetDword(kUserEdge + std::string(kIeModeLevel), 1);
                 w.SetDword(kUserEdge + std::string(kIeModeReload), 1);
             },
             LinkState::Ok, ""},
            {"the machine's level wins over the user's",
             [&](World &w) {
                 w.Windows(10, 22631);
                 w.SetDword(kMachineEdge + std::string(kIeModeLevel), 0);
                 w.SetDword(kUserEdge + std::string(kIeModeLevel), 1);
                 w.SetDword(kUserEdge + std::string(kIeModeReload), 1);
             },
             LinkState::Broken, "n'est pas activé"},
            {"local files with every extension of the viewer (dots optional)",
             [&](World &w) {
                 w.Windows(10, 22631);
                 localFiles(w, kMachineEdge, {"wrl", ".WRZ", ".x3d", ".x3dv", ".x3dvz", ".x3dz"});
             },
             LinkState::Ok, ""},
            {"local files without .x3d",
             [&](World &w) {
                 w.Windows(10, 22631);
                 localFiles(w, kMachineEdge, {".wrl", ".wrz"});
             },
             LinkState::Broken, ".x3d, .x3dv"},
            {"Windows 10 and IE mode for local files", [&](World &w) {
                 w.Windows(10, 19045);
                 localFiles(w, kMachineEdge, all);
             },
             LinkState::Ok, ""}});
    Expect(kOctaga, LinkId::Browser,
           {{"a service cannot see the users' policies", [](World &w) { w.Windows(10, 22631); }, LinkState::Unknown,
             "propres aux utilisateurs"}},
           Account::SystemOrService);
}

TEST(Chain, ValuesHiddenAndFilesFollowTheUser) {
    const std::string wrl = std::string(kMachineClasses) + ".wrl\\";
    Expect(kOctaga, LinkId::Values,
           {{"the 20 places in place", [](World &) {}, LinkState::Ok, ""},
            {"one place changed", [&](World &w) { w.registry.SetText(wrl, "Other"); }, LinkState::Broken,
             "1 des 20 emplacements"}});
    Expect(kOctaga, LinkId::Hidden,
           {{"nothing of the user's own", [](World &) {}, LinkState::Ok, ""},
            {"the user's own key", [](World &w) { w.registry.CreateKey("HKEY_CURRENT_USER\\Software\\Classes\\.wrz\\"); },
             LinkState::Broken, "clés propres à cet utilisateur l'emportent sur la machine pour .wrz"},
            {"a UserChoiceLatest choice", [](World &w) { w.registry.SetText(UserChoiceLatestPath(".x3d"), "Other"); },
             LinkState::Broken, "UserChoiceLatest"},
            {"a UserChoiceLatest of the viewer's own", [](World &w) {
                 w.registry.SetText(UserChoiceLatestPath(".x3d"), std::string(kOctaga.extensionProgId));
             },
             LinkState::Ok, ""}});
    Expect(kOctaga, LinkId::Files,
           {{"the file type's program exists", [](World &) {}, LinkState::Ok, ""},
            {"the program is missing", [](World &w) { w.system.files.erase(std::string(kPlayer)); }, LinkState::Broken,
             "player.exe"},
            {"no file type for .wrl", [&](World &w) { w.registry.DeleteValue(wrl); }, LinkState::Broken,
             "Aucun type de fichier"},
            {"a choice for a file type with no command",
             [](World &w) { w.registry.SetText(UserChoicePath(".x3d"), "Unknown.Type"); }, LinkState::Broken,
             "Unknown.Type"},
            {"the user's own file type wins, and runs a program found by Windows",
             [](World &w) {
                 w.registry.SetText("HKEY_CURRENT_USER\\Software\\Classes\\Octaga.Octaga.wrl\\shell\\open\\command\\",
                                    "viewer.exe %1");
             },
             LinkState::Unknown, "viewer.exe"}});
    for (LinkId id : {LinkId::Hidden, LinkId::Files})
        Expect(kOctaga, id, {{"a service reads no user's settings", [](World &) {}, LinkState::Unknown, "Compte système"}},
               Account::SystemOrService);
}

TEST(Chain, ReadyOnlyWhenEveryLinkHoldsAndTheExitCodeSaysWhy) {
    World world(kOctaga);
    Chain chain = world.Run();
    ASSERT_EQ(chain.links.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(static_cast<int>(chain.links[i].id), i) << "the six links in order";
    EXPECT_TRUE(chain.Ready());
    EXPECT_EQ(chain.FirstBroken(), nullptr);
    EXPECT_EQ(chain.ExitCode(), 0);
    EXPECT_EQ(world.Run(Account::SystemOrService).ExitCode(), 4) << "nothing broken, the user's links unknown";

    world.SetDword(KillBit(kOctaga.vrmlClsid), 0x400);
    world.Windows(10, 22631);
    chain = world.Run();
    ASSERT_NE(chain.FirstBroken(), nullptr);
    EXPECT_EQ(chain.FirstBroken()->id, LinkId::Blocked);
    EXPECT_EQ(chain.ExitCode(), 1);
    EXPECT_EQ(world.Run(Account::SystemOrService).ExitCode(), 1);
    EXPECT_NE(std::ranges::find(chain.links[3].read, ReadItem{Wow64StoredPath(KillBit(kOctaga.vrmlClsid)), "absent"}),
              chain.links[3].read.end())
        << "what the verdict rests on, in both views";
}

TEST(Chain, TheRedirectorKeepsClassIdentifiersAndSoftwareApartButSharesTheRestOfClasses) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{x}\\InprocServer32\\",
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{x}\\InprocServer32\\"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\"},
        {"HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{x}\\", "HKEY_CURRENT_USER\\Software\\Classes\\Wow6432Node\\CLSID\\{x}\\"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\x",
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Internet Explorer\\x"},
        {"HKEY_CURRENT_USER\\Software\\Microsoft\\x", "HKEY_CURRENT_USER\\Software\\Microsoft\\x"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\x", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\x"}};
    for (const auto &[path, stored] : cases)
        EXPECT_EQ(Wow64StoredPath(path), stored);
    EXPECT_EQ(IeModeExtensions(kOctaga), (std::vector<std::string_view>{".wrl", ".wrz", ".x3d", ".x3dv", ".x3dvz",
                                                                        ".x3dz"}))
        << "never a .gz, whose extension the shell takes as .gz";
}

} // namespace
} // namespace quelvo
