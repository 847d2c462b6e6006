#include "registry_fake.h"

#include "registry_path.h"

#include <array>

namespace quelvo {
namespace {

constexpr std::string_view kClassesRootName = "HKEY_CLASSES_ROOT\\";
constexpr std::string_view kUserClassesName = "HKEY_CURRENT_USER\\Software\\Classes\\";
constexpr std::string_view kMachineClassesName = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
// Keys whose immediate subkeys are merged one by one, as Windows lists them; of those this program reads one.
constexpr std::array<std::string_view, 1> kMergedOneLevelDown = {"MIME\\Database\\Content Type\\"};

// "ROOT\key" of a full value path, or nullopt for a malformed one.
std::optional<std::string> KeyOf(std::string_view path) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return std::nullopt;
    return std::string(RegistryRootName(parsed->root)).append("\\").append(parsed->key);
}

// The subkey of the classes root whose presence for the user decides which tree is seen: ".wrl" for
// ".wrl\shell\open", "MIME\Database\Content Type\model/vrml" for that content type's CLSID.
std::string_view MergeUnit(std::string_view rest) {
    for (std::string_view parent : kMergedOneLevelDown)
        if (rest.starts_with(parent) && rest.size() > parent.size())
            return rest.substr(0, rest.find('\\', parent.size()));
    return rest.substr(0, rest.find('\\'));
}

} // namespace

std::string FakeRegistry::ForReading(std::string_view path) const {
    if (!path.starts_with(kClassesRootName)) return std::string(path);
    const std::string_view rest = path.substr(kClassesRootName.size());
    const bool userHas = HasKey(std::string(kUserClassesName).append(MergeUnit(rest)));
    return std::string(userHas ? kUserClassesName : kMachineClassesName).append(rest);
}

std::string FakeRegistry::ForWriting(std::string_view path) const {
    if (!path.starts_with(kClassesRootName)) return std::string(path);
    const std::string_view rest = path.substr(kClassesRootName.size());
    const std::string user = std::string(kUserClassesName).append(rest);
    const std::optional<std::string> userKey = KeyOf(user);
    return userKey && HasKey(*userKey) ? user : std::string(kMachineClassesName).append(rest);
}

bool FakeRegistry::HasKey(std::string_view key) const {
    return keys_.contains(key);
}

void FakeRegistry::Store(std::string_view path, Value value) {
    CreateKey(path);
    values_.insert_or_assign(std::string(path), std::move(value));
}

RegistryError FakeRegistry::WriteString(std::string_view path, std::string_view value) {
    if (!ParseRegistryPath(path)) return kRegistryBadPath;
    if (auto refused = refusedWrites_.find(path); refused != refusedWrites_.end()) return refused->second;
    Store(ForWriting(path), Value{true, std::string(value)});
    writes_.push_back({std::string(path), std::string(value)});
    return kRegistryOk;
}

ReadResult FakeRegistry::ReadValue(std::string_view path) {
    if (!ParseRegistryPath(path)) return {ReadStatus::Failed, {}, kRegistryBadPath};
    if (auto refused = refusedReads_.find(path); refused != refusedReads_.end())
        return {ReadStatus::Failed, {}, refused->second};
    auto found = values_.find(ForReading(path));
    if (found == values_.end()) return {ReadStatus::Failed, {}, kRegistryFileNotFound};
    if (!found->second.isText) return {ReadStatus::NotText, {}, kRegistryOk};
    return {ReadStatus::Text, found->second.text, kRegistryOk};
}

KeyResult FakeRegistry::KeyExists(std::string_view path) {
    const std::optional<std::string> key = KeyOf(ForReading(path));
    if (!key) return {KeyState::Unknown, kRegistryBadPath};
    if (auto refused = refusedReads_.find(path); refused != refusedReads_.end())
        return {KeyState::Unknown, refused->second};
    return HasKey(*key) ? KeyResult{KeyState::Present, kRegistryOk} : KeyResult{KeyState::Absent, kRegistryFileNotFound};
}

void FakeRegistry::SetText(std::string_view path, std::string_view value) {
    Store(ForWriting(path), Value{true, std::string(value)});
}

void FakeRegistry::SetNonText(std::string_view path) {
    Store(ForWriting(path), Value{false, {}});
}

void FakeRegistry::CreateKey(std::string_view path) {
    std::optional<std::string> key = KeyOf(ForWriting(path));
    if (!key) return;
    // A key brings its parents with it, as RegCreateKeyEx makes them.
    for (std::size_t end = key->find('\\'); end != std::string::npos; end = key->find('\\', end + 1))
        keys_.insert(key->substr(0, end));
    keys_.insert(*key);
}

void FakeRegistry::RefuseWrites(std::string_view path, RegistryError error) {
    refusedWrites_.insert_or_assign(std::string(path), error);
}

void FakeRegistry::AllowWrites(std::string_view path) {
    if (auto refused = refusedWrites_.find(path); refused != refusedWrites_.end()) refusedWrites_.erase(refused);
}

void FakeRegistry::RefuseReads(std::string_view path, RegistryError error) {
    refusedReads_.insert_or_assign(std::string(path), error);
}

std::optional<std::string> FakeRegistry::TextAt(std::string_view path) const {
    auto found = values_.find(ForReading(path));
    if (found == values_.end() || !found->second.isText) return std::nullopt;
    return found->second.text;
}

} // namespace quelvo
