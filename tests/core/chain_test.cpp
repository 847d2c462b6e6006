// The chain from the values to a picture, link by link, on the fake registry and a fake PC: each rule's documented
// cases, then the chain's verdict and exit code.
#include "core/chain.h"
#include "core/ie_mode.h"
#include "core/reg_file.h"

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
const std::string kMachineExt = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Ext\\";

std::string Server(std::string_view clsid, std::string_view classes = kMachineClasses) {
    return Wow64StoredPath(std::string(classes) + "CLSID\\" + std::string(clsid) + "\\InprocServer32\\");
}

std::string KillBit(std::string_view clsid) {
    return "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\" + std::string(clsid) +
           "\\Compatibility Flags";
}

std::string Zone1200(std::string_view rootAndBranch, char zone) {
    return std::string(rootAndBranch) + "\\Windows\\CurrentVersion\\Internet Settings\\Zones\\" + zone + "\\1200";
}

// A PC where every link holds for the viewer: its values, its 32-bit controls and their files, its file type's
// program, on Windows 7.
struct World {
    explicit World(const ViewerRecord &viewer) : viewer(viewer) {
        for (const RegistryWrite &write : BuildAssociationList(viewer))
            registry.SetText(write.path, write.value);
        RegisterControls(registry, system, viewer);
        registry.SetText(std::string(kMachineClasses) + std::string(viewer.extensionProgId) +
                             "\\shell\\open\\command\\",
                         "\"" + std::string(kPlayer) + "\" \"%1\"");
        system.files.insert(std::string(kPlayer));
    }
    Chain Run(Account account = Account::User) { return DiagnoseChain({viewer, registry, system, account}); }

    const ViewerRecord &viewer;
    FakeRegistry registry;
    FakeSystem system;
};

using Plant = std::function<void(World &)>;
const Plant kNothing = [](World &) {};
Plant Dword(std::string path, std::uint32_t n) {
    return [=](World &w) { w.registry.SetRaw(path, kRegDword, std::string(reinterpret_cast<const char *>(&n), 4)); };
}
Plant Text(std::string path, std::string text, std::uint32_t type = kRegSz) {
    return [=](World &w) { w.registry.SetRaw(path, type, Utf16Le(text).append(2, '\0')); };
}
Plant File(std::string path) {
    return [=](World &w) { w.system.files.insert(path); };
}
Plant Windows(std::uint32_t build, std::string edition = "Professional", std::string type = "Client") {
    return [=](World &w) {
        w.system.version = {10, 0, build, true};
        Text(kCurrentVersion + "EditionID", edition)(w);
        Text(kCurrentVersion + "InstallationType", type)(w);
    };
}
Plant All(std::vector<Plant> plants) {
    return [=](World &w) {
        for (const Plant &plant : plants)
            plant(w);
    };
}

struct Case {
    const char *name;
    Plant plant;
    LinkState expected;
    std::string_view says = {}; // a piece of the reason
};

void Expect(const ViewerRecord &viewer, LinkId id, const std::vector<Case> &cases, Account account = Account::User) {
    for (const Case &c : cases) {
        World world(viewer);
        c.plant(world);
        const Link link = world.Run(account).links.at(static_cast<int>(id));
        EXPECT_EQ(LinkStateName(link.state), LinkStateName(c.expected)) << c.name << ": " << link.reason;
        EXPECT_NE(link.reason.find(c.says), std::string::npos) << c.name << ": " << link.reason;
        EXPECT_EQ(link.advice.empty(), c.expected == LinkState::Ok) << c.name;
    }
}

TEST(Chain, ControlIsRegisteredWhereA32BitBrowserLooksWithItsFile) {
    const std::string x3d(kCosmo.x3dClsid), inSystem32 = "%SystemRoot%\\System32\\cosmo.ocx";
    const Plant unregistered = [&](World &w) { w.registry.DeleteValue(Server(x3d)); };
    Expect(
        kCosmo, LinkId::Control,
        {{"both controls registered, files present", kNothing, LinkState::Ok},
         {"the X3D control not registered", unregistered, LinkState::Broken, "là où lit un navigateur 32 bits."},
         {"registered in the 64-bit view only",
          All({unregistered, Text(std::string(kMachineClasses) + "CLSID\\" + x3d + "\\InprocServer32\\", "C:\\x")}),
          LinkState::Broken, "64 bits seulement"},
         {"the file is missing", [](World &w) { w.system.files.clear(); }, LinkState::Broken, "n'existe pas"},
         {"System32 in a 32-bit registration is SysWOW64 on 64-bit Windows",
          All({Text(Server(x3d), inSystem32, kRegExpandSz), File("C:\\Windows\\SysWOW64\\cosmo.ocx")}), LinkState::Ok},
         {"a file in System32 alone is not what a 32-bit process loads",
          All({Text(Server(x3d), inSystem32, kRegExpandSz), File("C:\\Windows\\System32\\cosmo.ocx")}),
          LinkState::Broken, "SysWOW64"},
         {"on 32-bit Windows System32 is itself",
          All({Text(Server(x3d), inSystem32, kRegExpandSz), File("C:\\Windows\\System32\\cosmo.ocx"),
               [](World &w) { w.system.version.is64Bit = false; }}),
          LinkState::Ok},
         {"the user's own registration wins for them", Text(Server(x3d, kUserClasses), "C:\\gone.ocx"),
          LinkState::Broken, "C:\\gone.ocx"},
         {"a bare file name is searched for by Windows", Text(Server(x3d), "cosmo.ocx"), LinkState::Unknown,
          "sans dossier"}});
    Expect(
        kCosmo, LinkId::Control,
        {{"a service's own registration is not read", Text(Server(x3d, kUserClasses), "C:\\gone.ocx"), LinkState::Ok}},
        Account::SystemOrService);
}

TEST(Chain, BlockedByAKillBitAnAddOnPolicyTheUserAZoneOr64BitTabs) {
    const std::string id(kOctaga.vrmlClsid), listed = kMachineExt + "CLSID\\" + id;
    const std::string userFlags =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\" + id + "\\Flags";
    const std::string tabs = "SOFTWARE\\Policies\\Microsoft\\Internet Explorer\\Main\\Isolation64Bit";
    Expect(
        kOctaga, LinkId::Blocked,
        {{"nothing blocks", kNothing, LinkState::Ok},
         {"kill bit in the native view", Dword(KillBit(id), 0x400), LinkState::Broken, "kill bit"},
         {"kill bit in the 32-bit view", Dword(Wow64StoredPath(KillBit(id)), 0x401), LinkState::Broken, "vue 32 bits"},
         {"other compatibility flags", Dword(KillBit(id), 0x20), LinkState::Ok},
         {"Add-on List denies it", Text(listed, "0"), LinkState::Broken, "interdit"},
         {"only listed add-ons, not listed", Dword(kMachineExt + "RestrictToList", 1), LinkState::Broken,
          "pas dans la liste"},
         {"only listed add-ons, allowed", All({Dword(kMachineExt + "RestrictToList", 1), Text(listed, "1")}),
          LinkState::Ok},
         {"the user disabled it", Dword(userFlags, 1), LinkState::Broken, "désactivé"},
         {"the user disabled it, the policy allows it", All({Dword(userFlags, 1), Text(listed, "1")}), LinkState::Ok},
         {"ActiveX off for the Internet zone by machine policy",
          Dword(Zone1200("HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft", '3'), 3), LinkState::Broken, "Internet"},
         {"ActiveX off in the user's intranet setting",
          Dword(Zone1200("HKEY_CURRENT_USER\\Software\\Microsoft", '1'), 3), LinkState::Broken, "Intranet local"},
         {"a policy allowing it wins over the user's setting",
          All({Dword(Zone1200("HKEY_CURRENT_USER\\Software\\Microsoft", '3'), 3),
               Dword(Zone1200("HKEY_CURRENT_USER\\SOFTWARE\\Policies\\Microsoft", '3'), 0)}),
          LinkState::Ok},
         {"64-bit tabs forced by policy", Dword("HKEY_LOCAL_MACHINE\\" + tabs, 1), LinkState::Broken, "64 bits"},
         {"64-bit tabs turned off by policy", Dword("HKEY_CURRENT_USER\\" + tabs, 0), LinkState::Ok}});
    Expect(kOctaga, LinkId::Blocked,
           {{"a service's own add-on settings are not read", Dword(userFlags, 1), LinkState::Ok}},
           Account::SystemOrService);
}

TEST(Chain, BrowserIsInternetExplorerWhereItOpensOrEdgeInInternetExplorerMode) {
    const auto edge = [](const std::string &root, std::string_view policy, std::uint32_t n) {
        return Dword(root + std::string(policy), n);
    };
    const auto allowList = [](std::vector<std::string> extensions) {
        std::vector<Plant> plants = {Dword(kMachineEdge + std::string(kIeModeLevel), 1),
                                     Dword(kMachineEdge + std::string(kIeModeLocalFiles), 1)};
        for (std::size_t i = 0; i < extensions.size(); ++i)
            plants.push_back(
                Text(kMachineEdge + std::string(kIeModeExtensions) + "\\" + std::to_string(i + 1), extensions[i]));
        return All(plants);
    };
    const Plant windows11 = Windows(22631);
    Expect(
        kOctaga, LinkId::Browser,
        {{"Windows 7 keeps Internet Explorer 11", kNothing, LinkState::Ok},
         {"Windows 11 has none", windows11, LinkState::Broken, "Windows 11"},
         {"Windows 10: the docs cannot tell", Windows(19045), LinkState::Unknown, "14 février 2023"},
         {"Windows 10 LTSC keeps it", Windows(17763, "EnterpriseS"), LinkState::Ok},
         {"Windows Server keeps it", Windows(20348, "ServerStandard", "Server"), LinkState::Ok},
         {"IE mode without content", All({windows11, edge(kMachineEdge, kIeModeLevel, 1)}), LinkState::Broken,
          "ni liste de sites"},
         {"IE mode with a site list",
          All({windows11, edge(kMachineEdge, kIeModeLevel, 1), Text(kMachineEdge + std::string(kIeModeSiteList), "x")}),
          LinkState::Ok},
         {"IE mode with reloading, by the user's policy",
          All({windows11, edge(kUserEdge, kIeModeLevel, 1), edge(kUserEdge, kIeModeReload, 1)}), LinkState::Ok},
         {"the machine's level wins over the user's",
          All({windows11, edge(kMachineEdge, kIeModeLevel, 0), edge(kUserEdge, kIeModeLevel, 1),
               edge(kUserEdge, kIeModeReload, 1)}),
          LinkState::Broken, "n'est pas activé"},
         {"local files with every extension (dots optional)",
          All({windows11, allowList({"wrl", ".WRZ", ".x3d", ".x3dv", ".x3dvz", ".x3dz"})}), LinkState::Ok},
         {"local files without .x3d", All({windows11, allowList({".wrl", ".wrz"})}), LinkState::Broken,
          ".x3d, .x3dv"}});
    Expect(kOctaga, LinkId::Browser,
           {{"a service cannot see the users' policies", windows11, LinkState::Unknown, "propres aux utilisateurs"}},
           Account::SystemOrService);
}

TEST(Chain, ValuesHiddenAndFilesFollowTheUser) {
    const std::string wrl = std::string(kMachineClasses) + ".wrl\\";
    Expect(kOctaga, LinkId::Values,
           {{"the 20 places in place", kNothing, LinkState::Ok},
            {"one place changed", Text(wrl, "Other"), LinkState::Broken, "1 des 20 emplacements"}});
    Expect(kOctaga, LinkId::Hidden,
           {{"nothing of the user's own", kNothing, LinkState::Ok},
            {"the user's own empty key", [](World &w) { w.registry.CreateKey(std::string(kUserClasses) + ".wrz\\"); },
             LinkState::Broken, "l'emportent sur la machine pour .wrz"},
            {"a UserChoiceLatest choice in its ProgId key", Text(UserChoiceLatestPaths(".x3d")[0], "Other"),
             LinkState::Broken, "UserChoiceLatest"},
            {"a UserChoiceLatest choice as its value", Text(UserChoiceLatestPaths(".x3d")[1], "Other"),
             LinkState::Broken, "UserChoiceLatest"},
            {"a UserChoiceLatest of the viewer's own", Text(UserChoiceLatestPaths(".x3d")[0], "Octaga.Octaga.wrl"),
             LinkState::Ok},
            {"a UserChoiceLatest for .x3d.gz, which the shell never looks up",
             Text(UserChoiceLatestPaths(".x3d.gz")[0], "Other"), LinkState::Ok}});
    Expect(kOctaga, LinkId::Files,
           {{"the file type's program exists", kNothing, LinkState::Ok},
            {"the program is missing", [](World &w) { w.system.files.clear(); }, LinkState::Broken, "player.exe"},
            {"no file type for .wrl", [&](World &w) { w.registry.DeleteValue(wrl); }, LinkState::Broken,
             "Aucun type de fichier"},
            {"a choice of a file type with no command", Text(UserChoicePath(".x3d"), "Unknown.Type"), LinkState::Broken,
             "Unknown.Type"},
            {"the user's own file type wins, its program found by Windows",
             Text(std::string(kUserClasses) + "Octaga.Octaga.wrl\\shell\\open\\command\\", "viewer.exe %1"),
             LinkState::Unknown, "viewer.exe"}});
    for (LinkId id : {LinkId::Hidden, LinkId::Files})
        Expect(kOctaga, id, {{"a service reads no user's settings", kNothing, LinkState::Unknown, "Compte système"}},
               Account::SystemOrService);
}

TEST(Chain, ReadyOnlyWhenEveryLinkHoldsAndTheExitCodeSaysWhy) {
    World world(kOctaga);
    Chain chain = world.Run();
    ASSERT_EQ(chain.links.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(static_cast<int>(chain.links[i].id), i) << "the six links in order";
    EXPECT_TRUE(chain.Ready());
    EXPECT_EQ(chain.ExitCode(), 0);
    EXPECT_EQ(world.Run(Account::SystemOrService).ExitCode(), 4) << "nothing broken, the user's links unknown";

    All({Dword(KillBit(kOctaga.vrmlClsid), 0x400), Windows(22631)})(world);
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
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{x}\\",
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{x}\\"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrl\\"},
        {"HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{x}\\",
         "HKEY_CURRENT_USER\\Software\\Classes\\Wow6432Node\\CLSID\\{x}\\"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\x", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\x"},
        {"HKEY_CURRENT_USER\\Software\\Microsoft\\x", "HKEY_CURRENT_USER\\Software\\Microsoft\\x"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\x", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\x"}};
    for (const auto &[path, stored] : cases)
        EXPECT_EQ(Wow64StoredPath(path), stored);
    EXPECT_EQ(IeModeExtensions(kOctaga),
              (std::vector<std::string_view>{".wrl", ".wrz", ".x3d", ".x3dv", ".x3dvz", ".x3dz"}))
        << "never a .gz, whose extension the shell takes as .gz";
}

// A site's address is an attribute: what XML would end or change there is written as a reference.
TEST(Chain, TheSiteListCarriesEveryAddressAsItWasGiven) {
    const std::string xml = SiteListXml({"https://a.org/3d?x=1&y=<2>\"\t"});
    EXPECT_NE(xml.find("url=\"https://a.org/3d?x=1&amp;y=&lt;2&gt;&quot;&#9;\""), std::string::npos) << xml;
}

} // namespace
} // namespace quelvo
