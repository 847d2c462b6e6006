#include "registry_fake.h"

#include "core/reg_file.h"
#include "core/registry_path.h"
#include "core/wow64.h"

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

RegistryError FakeRegistry::Refusal(std::string_view path) const {
    if (!ParseRegistryPath(path)) return kRegistryBadPath;
    auto refused = refusedWrites_.find(path);
    return refused == refusedWrites_.end() ? kRegistryOk : refused->second;
}

RegistryError FakeRegistry::WriteString(std::string_view path, std::string_view value) {
    if (RegistryError error = Refusal(path); error != kRegistryOk) return error;
    SetText(path, value);
    writes_.push_back({std::string(path), std::string(value)});
    return kRegistryOk;
}

ReadResult FakeRegistry::ReadValue(std::string_view path) {
    const RawRead raw = ReadRaw(path);
    if (raw.error != kRegistryOk) return {ReadStatus::Failed, {}, raw.error};
    if (raw.type != kRegSz && raw.type != kRegExpandSz) return {ReadStatus::NotText, {}, kRegistryOk};
    std::string text = Utf8FromUtf16Le(raw.data);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return {ReadStatus::Text, text, kRegistryOk};
}

KeyResult FakeRegistry::KeyExists(std::string_view path) {
    const std::optional<std::string> key = KeyOf(ForReading(path));
    if (!key) return {KeyState::Unknown, kRegistryBadPath};
    if (auto refused = refusedReads_.find(path); refused != refusedReads_.end())
        return {KeyState::Unknown, refused->second};
    return HasKey(*key) ? KeyResult{KeyState::Present, kRegistryOk} : KeyResult{KeyState::Absent, kRegistryFileNotFound};
}

RegistryError FakeRegistry::ProbeWrite(std::string_view path) {
    return Refusal(path);
}

RegistryError FakeRegistry::WriteRaw(std::string_view path, std::uint32_t type, std::string_view data) {
    if (RegistryError error = Refusal(path); error != kRegistryOk) return error;
    SetRaw(path, type, data);
    writes_.push_back({std::string(path), std::string(data)});
    return kRegistryOk;
}

RegistryError FakeRegistry::DeleteValue(std::string_view path) {
    if (RegistryError error = Refusal(path); error != kRegistryOk) return error;
    if (auto found = values_.find(ForWriting(path)); found != values_.end()) values_.erase(found);
    writes_.push_back({std::string(path), "-"});
    return kRegistryOk;
}

RegistryError FakeRegistry::DeleteKeyIfEmpty(std::string_view path) {
    if (RegistryError error = Refusal(path); error != kRegistryOk) return error;
    const std::optional<std::string> key = KeyOf(ForWriting(path));
    if (!key) return kRegistryBadPath;
    const std::string below = *key + "\\";
    // A value of its own or of a subkey, or a subkey: the key is not empty.
    const auto value = values_.lower_bound(below);
    if (value != values_.end() && value->first.starts_with(below)) return kRegistryOk;
    const auto subkey = keys_.lower_bound(below);
    if (subkey != keys_.end() && subkey->starts_with(below)) return kRegistryOk;
    keys_.erase(*key);
    return kRegistryOk;
}

RawRead FakeRegistry::ReadRaw(std::string_view path) {
    if (!ParseRegistryPath(path)) return RawFailure(kRegistryBadPath);
    if (auto refused = refusedReads_.find(path); refused != refusedReads_.end()) return RawFailure(refused->second, true);
    if (std::optional<RawRead> raw = RawAt(path)) return *raw;
    return RawFailure(kRegistryFileNotFound, HoldsKey(path));
}

RegistryError FakeRegistry::CreateKeyOf(std::string_view path) {
    if (RegistryError error = Refusal(path); error != kRegistryOk) return error;
    CreateKey(path);
    return kRegistryOk;
}

KeyListing FakeRegistry::ListKey(std::string_view path) {
    const std::optional<std::string> key = KeyOf(ForReading(path));
    if (!key) return ListFailure(kRegistryBadPath);
    if (auto refused = refusedReads_.find(path); refused != refusedReads_.end()) return ListFailure(refused->second);
    if (!HasKey(*key)) return ListFailure(kRegistryFileNotFound);
    const std::string below = *key + "\\";
    KeyListing listing;
    // One level down only: a name with a backslash after the key's own belongs to a subkey.
    for (auto value = values_.lower_bound(below); value != values_.end() && value->first.starts_with(below); ++value)
        if (const std::string name = value->first.substr(below.size()); name.find('\\') == std::string::npos)
            listing.values.push_back(name);
    for (auto subkey = keys_.lower_bound(below); subkey != keys_.end() && subkey->starts_with(below); ++subkey)
        if (const std::string name = subkey->substr(below.size()); name.find('\\') == std::string::npos)
            listing.subkeys.push_back(name);
    return listing;
}

RawRead FakeRegistry::ReadRaw32(std::string_view path) {
    return ReadRaw(Wow64StoredPath(path));
}

KeyResult FakeRegistry::KeyExists32(std::string_view path) {
    return KeyExists(Wow64StoredPath(path));
}

void FakeRegistry::SetText(std::string_view path, std::string_view value) {
    std::string data = Utf16Le(value);
    data.append(2, '\0');
    SetRaw(path, kRegSz, data);
}

void FakeRegistry::SetNonText(std::string_view path) {
    SetRaw(path, kRegDword, std::string(4, '\0'));
}

void FakeRegistry::SetRaw(std::string_view path, std::uint32_t type, std::string_view data) {
    CreateKey(path);
    values_.insert_or_assign(ForWriting(path), Value{type, std::string(data)});
}

void FakeRegistry::CreateKey(std::string_view path) {
    std::optional<std::string> key = KeyOf(ForWriting(path));
    if (!key) return;
    // A key brings its parents with it, as RegCreateKeyEx makes them; the root itself is not a key of its own.
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
    if (found == values_.end() || found->second.type != kRegSz) return std::nullopt;
    std::string text = Utf8FromUtf16Le(found->second.data);
    return text.substr(0, text.find('\0'));
}

std::optional<RawRead> FakeRegistry::RawAt(std::string_view path) const {
    auto found = values_.find(ForReading(path));
    if (found == values_.end()) return std::nullopt;
    return RawRead{kRegistryOk, true, found->second.type, found->second.data};
}

bool FakeRegistry::HoldsKey(std::string_view path) const {
    const std::optional<std::string> key = KeyOf(ForReading(path));
    return key && keys_.contains(*key);
}

} // namespace quelvo
