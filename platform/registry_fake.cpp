#include "registry_fake.h"

#include "registry_path.h"

namespace quelvo {

RegistryError FakeRegistry::WriteString(std::string_view path, std::string_view value) {
    if (!ParseRegistryPath(path)) return kRegistryBadPath;
    if (auto refused = refusedWrites_.find(path); refused != refusedWrites_.end()) return refused->second;
    SetText(path, value);
    writes_.push_back({std::string(path), std::string(value)});
    return kRegistryOk;
}

ReadResult FakeRegistry::ReadValue(std::string_view path) {
    if (!ParseRegistryPath(path)) return {ReadStatus::Failed, {}, kRegistryBadPath};
    if (auto refused = refusedReads_.find(path); refused != refusedReads_.end())
        return {ReadStatus::Failed, {}, refused->second};
    auto found = values_.find(path);
    if (found == values_.end()) return {ReadStatus::Failed, {}, kRegistryFileNotFound};
    if (!found->second.isText) return {ReadStatus::NotText, {}, kRegistryOk};
    return {ReadStatus::Text, found->second.text, kRegistryOk};
}

void FakeRegistry::SetText(std::string_view path, std::string_view value) {
    values_.insert_or_assign(std::string(path), Value{true, std::string(value)});
}

void FakeRegistry::SetNonText(std::string_view path) {
    values_.insert_or_assign(std::string(path), Value{false, {}});
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
    if (found == values_.end() || !found->second.isText) return std::nullopt;
    return found->second.text;
}

} // namespace quelvo
