#include "core/backup.h"
#include "core/in_place.h"
#include "core/status.h"
#include "core/switch.h"

#include "fakes/registry_fake.h"
#include "fakes/switch_fakes.h"
#include "recording_display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace quelvo {
namespace {

FakeRegistry MachineSwitchedTo(const ViewerRecord &viewer) {
    FakeRegistry registry;
    for (const RegistryWrite &write : BuildAssociationList(viewer))
        registry.SetText(write.path, write.value);
    return registry;
}

const PlaceVerdict &PlaceNamed(const StatusReport &report, std::string_view name) {
    const auto found = std::ranges::find(report.hiding.places, name, &PlaceVerdict::name);
    if (found == report.hiding.places.end()) throw std::runtime_error("no place " + std::string(name));
    return *found;
}

TEST(Status, TwentyMachinePlacesAndWhatWinsForThisUser) {
    FakeRegistry registry = MachineSwitchedTo(Viewers()[5]); // Octaga
    const StatusReport clean = CheckStatus(registry, Account::User);
    EXPECT_EQ(clean.locations.size(), 20u);
    for (const LocationStatus &location : clean.locations)
        EXPECT_TRUE(location.path.starts_with(kMachineClasses) && location.matches) << location.path;
    EXPECT_EQ(clean.hiding.places.size(), 20u);
    EXPECT_TRUE(clean.hiding.Hiding().empty());
    EXPECT_EQ(clean.ExitCode(), 0);

    // An empty key of the user's own hides the machine's by existing; a content type of theirs; a choice.
    registry.CreateKey("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\");
    registry.SetText("HKEY_CURRENT_USER\\Software\\Classes\\MIME\\Database\\Content Type\\model/x3d\\CLSID", "{mine}");
    registry.SetText(UserChoicePath(".x3d"), "Other.Program");
    const StatusReport hidden = CheckStatus(registry, Account::User);
    EXPECT_EQ(hidden.hiding.Hiding().size(), 3u);
    const PlaceVerdict &wrl = PlaceNamed(hidden, ".wrl");
    EXPECT_EQ(wrl.winner, Winner::UserKey);
    EXPECT_EQ(wrl.Effective().state, ValueState::Absent) << "the user's empty key, not the machine's value";
    EXPECT_EQ(wrl.machine.text, "Octaga.Octaga.wrl");
    const PlaceVerdict &x3dType = PlaceNamed(hidden, "model/x3d");
    EXPECT_EQ(x3dType.winner, Winner::UserKey);
    EXPECT_EQ(x3dType.Effective().text, "{mine}");
    EXPECT_EQ(PlaceNamed(hidden, ".x3d").winner, Winner::UserChoice);
    EXPECT_EQ(PlaceNamed(hidden, ".x3d").Effective().text, "Other.Program");
    EXPECT_EQ(PlaceNamed(hidden, "model/vrml").winner, Winner::Machine);
    EXPECT_TRUE(std::ranges::all_of(hidden.locations, &LocationStatus::matches)) << "the machine's values are in place";
    EXPECT_EQ(hidden.ExitCode(), 1);

    // As SYSTEM or a service the profile is the system's: nothing of it is taken for a user's.
    const StatusReport service = CheckStatus(registry, Account::SystemOrService);
    EXPECT_FALSE(service.hiding.usersChecked);
    for (const PlaceVerdict &place : service.hiding.places)
        EXPECT_EQ(place.winner, Winner::Unknown) << place.name;
    EXPECT_EQ(service.ExitCode(), 4);
    registry.SetText("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.wrz\\", "changed by hand");
    EXPECT_EQ(CheckStatus(registry, Account::SystemOrService).ExitCode(), 1) << "a difference outranks 4";

    registry = FakeRegistry();
    registry.SetText("HKEY_CURRENT_USER\\Software\\Classes\\.wrl\\", "Octaga.Octaga.wrl");
    EXPECT_EQ(CheckStatus(registry, Account::User).ExitCode(), 3) << "the machine's .wrl decides, not the user's";
}

// The shell reads a class key's text with REG_EXPAND_SZ expanded: status and check judge it alike, and it is in
// place with the viewer's very text only. Then "Ouvrir avec" choices for the extensions the shell never looks up.
TEST(Status, AndCheckJudgeAnExpandableValueAlikeAndIgnoreChoicesNoShellReads) {
    FakeRegistry registry = MachineSwitchedTo(Viewers()[5]);
    const std::string vrml = std::string(kMachineClasses) + "MIME\\Database\\Content Type\\model/vrml\\CLSID";
    for (const auto &[text, inPlace] : {std::pair{Viewers()[5].vrmlClsid, true}, {"%Octaga%", false}}) {
        registry.SetRaw(vrml, kRegExpandSz, Utf16Le(text).append(2, '\0'));
        EXPECT_EQ(std::ranges::all_of(CheckStatus(registry, Account::User).locations, &LocationStatus::matches),
                  inPlace);
        EXPECT_EQ(CheckViewer(Viewers()[5], false, Account::User, registry).InPlace(), inPlace) << text;
    }
    for (std::string_view extension : {".wrl.gz", ".x3d.gz", ".x3dv.gz", ".wrz"})
        registry.SetText(UserChoicePath(extension), "Other.Program");
    const std::vector<const PlaceVerdict *> hiding = CheckStatus(registry, Account::User).hiding.Hiding();
    ASSERT_EQ(hiding.size(), 1u);
    EXPECT_EQ(hiding.front()->name, ".wrz");
}

} // namespace
} // namespace quelvo
