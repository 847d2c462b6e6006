#include "hiding.h"

#include "association.h"
#include "viewer_catalogue.h"

namespace quelvo {
namespace {

constexpr std::string_view kFileExts =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

PlaceVerdict Place(PlaceVerdict::Kind kind, std::string_view name, std::string_view valueBelowClasses) {
    PlaceVerdict place;
    place.kind = kind;
    place.name = name;
    place.machinePath = std::string(kMachineClasses).append(valueBelowClasses);
    place.userPath = std::string(kUserClasses).append(valueBelowClasses);
    return place;
}

std::vector<PlaceVerdict> Places() {
    std::vector<PlaceVerdict> places;
    for (const ContentType &type : kContentTypes)
        places.push_back(Place(PlaceVerdict::Kind::ContentType, type.name,
                               std::string(kContentTypeKey).append(type.name).append("\\CLSID")));
    for (std::string_view extension : kExtensions) {
        places.push_back(Place(PlaceVerdict::Kind::Extension, extension, std::string(extension).append("\\")));
        if (ShellLooksUp(extension)) places.back().choicePath = UserChoicePath(extension);
    }
    return places;
}

// A user key hides the machine's whole key; a choice wins over both for the shell.
Winner Decide(const PlaceVerdict &place) {
    if (!place.choicePath.empty() && place.choice.state != ValueState::Absent)
        return place.choice.state == ValueState::Text ? Winner::UserChoice : Winner::Unknown;
    if (place.userKey == KeyState::Present) return Winner::UserKey;
    if (place.userKey == KeyState::Unknown) return Winner::Unknown;
    return Winner::Machine;
}

} // namespace

SeenValue ReadSeen(RegistryReader &registry, const std::string &path) {
    const ReadResult read = registry.ReadValue(path);
    if (read.status == ReadStatus::Text) return {ValueState::Text, read.text};
    if (read.status == ReadStatus::NotText) return {ValueState::NotText, {}};
    return {read.error == kRegistryFileNotFound ? ValueState::Absent : ValueState::Unreadable, {}};
}

std::string UserChoicePath(std::string_view extension) {
    return std::string(kFileExts).append(extension).append("\\UserChoice\\ProgId");
}

std::array<std::string, 2> UserChoiceLatestPaths(std::string_view extension) {
    const std::string key = std::string(kFileExts).append(extension).append("\\UserChoiceLatest\\ProgId");
    return {key + "\\ProgId", key};
}

const SeenValue &PlaceVerdict::Effective() const {
    switch (winner) {
    case Winner::UserKey:
        return user;
    case Winner::UserChoice:
        return choice;
    case Winner::Machine:
    case Winner::Unknown:
        break;
    }
    return machine;
}

std::vector<const PlaceVerdict *> HidingReport::Hiding() const {
    std::vector<const PlaceVerdict *> hiding;
    for (const PlaceVerdict &place : places)
        if (place.Hidden()) hiding.push_back(&place);
    return hiding;
}

HidingReport CheckHiding(RegistryReader &registry, Account account) {
    HidingReport report;
    report.usersChecked = account == Account::User;
    report.places = Places();
    for (PlaceVerdict &place : report.places) {
        place.machine = ReadSeen(registry, place.machinePath);
        if (!report.usersChecked) {
            place.userKey = KeyState::Unknown;
            place.winner = Winner::Unknown;
            continue;
        }
        place.userKey = registry.KeyExists(place.userPath).state;
        if (place.userKey == KeyState::Present) place.user = ReadSeen(registry, place.userPath);
        if (!place.choicePath.empty()) place.choice = ReadSeen(registry, place.choicePath);
        place.winner = Decide(place);
    }
    return report;
}

} // namespace quelvo
