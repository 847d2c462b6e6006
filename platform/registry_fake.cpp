#include "registry_fake.h"

#include "core/reg_file.h"
#include "registry_path.h"

namespace quelvo {
namespace {

std::string_view KeyOf(std::string_view path) {
    return path.substr(0, path.rfind('\\'));
}

} // namespace

RegistryError FakeRegistry::Refusal(std::string_view path) const {
    if (!ParseRegistryPath(path)) return kRegistryBadPath;
    auto refused = refusedWrites_.find(path);
    return refused == refusedWrites_.end() ? kRegistryOk : refused->second;
}

void FakeRegistry::AddKeys(std::string_view path) {
    const std::optional<RegistryPath> parsed = ParseRegistryPath(path);
    if (!parsed) return;
    // The root and its name are not keys of their own; every level below them is.
    const std::size_t rootEnd = path.find('\\');
    for (std::size_t at = path.find('\\', rootEnd + 1); at != std::string_view::npos; at = path.find('\\', at + 1))
        keys_.insert(std::string(path.substr(0, at)));
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
    if (auto found = values_.find(path); found != values_.end()) values_.erase(found);
    writes_.push_back({std::string(path), "-"});
    return kRegistryOk;
}

RegistryError FakeRegistry::DeleteKeyIfEmpty(std::string_view path) {
    if (RegistryError error = Refusal(path); error != kRegistryOk) return error;
    const std::string key(KeyOf(path));
    const std::string below = key + "\\";
    // A value of its own or of a subkey, or a subkey: the key is not empty.
    const auto value = values_.lower_bound(below);
    if (value != values_.end() && value->first.starts_with(below)) return kRegistryOk;
    const auto subkey = keys_.lower_bound(below);
    if (subkey != keys_.end() && subkey->starts_with(below)) return kRegistryOk;
    keys_.erase(key);
    return kRegistryOk;
}

RawRead FakeRegistry::ReadRaw(std::string_view path) {
    if (!ParseRegistryPath(path)) return RawFailure(kRegistryBadPath);
    if (auto refused = refusedReads_.find(path); refused != refusedReads_.end()) return RawFailure(refused->second, true);
    if (std::optional<RawRead> raw = RawAt(path)) return *raw;
    return RawFailure(kRegistryFileNotFound, HoldsKey(path));
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
    values_.insert_or_assign(std::string(path), Value{type, std::string(data)});
    AddKeys(path);
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
    auto found = values_.find(path);
    if (found == values_.end() || found->second.type != kRegSz) return std::nullopt;
    std::string text = Utf8FromUtf16Le(found->second.data);
    return text.substr(0, text.find('\0'));
}

std::optional<RawRead> FakeRegistry::RawAt(std::string_view path) const {
    auto found = values_.find(path);
    if (found == values_.end()) return std::nullopt;
    return RawRead{kRegistryOk, true, found->second.type, found->second.data};
}

bool FakeRegistry::HoldsKey(std::string_view path) const {
    return keys_.contains(KeyOf(path));
}

} // namespace quelvo
