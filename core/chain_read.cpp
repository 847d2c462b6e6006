#include "chain_read.h"

#include "messages.h"
#include "reg_file.h"
#include "wow64.h"

#include <cctype>
#include <cstdio>

namespace quelvo {

AnyValue ReadAny(RegistryReader &registry, const std::string &path, View view) {
    const RawRead raw = view == View::Bits32 ? registry.ReadRaw32(path) : registry.ReadRaw(path);
    AnyValue value;
    if (raw.error == kRegistryFileNotFound) return value;
    if (raw.error != kRegistryOk) {
        value.kind = AnyValue::Kind::Unreadable;
        return value;
    }
    value.type = raw.type;
    if (raw.type == kRegSz || raw.type == kRegExpandSz) {
        value.kind = AnyValue::Kind::Text;
        value.text = Utf8FromUtf16Le(raw.data);
        value.text.resize(std::min(value.text.size(), value.text.find('\0')));
        value.expandable = raw.type == kRegExpandSz;
    } else if (raw.type == kRegDword && raw.data.size() == 4) {
        value.kind = AnyValue::Kind::Dword;
        for (int i = 3; i >= 0; --i)
            value.number = (value.number << 8) | static_cast<unsigned char>(raw.data[i]);
    } else {
        value.kind = AnyValue::Kind::Other;
    }
    return value;
}

std::optional<std::uint32_t> NumberOf(const AnyValue &value) {
    if (value.kind == AnyValue::Kind::Dword) return value.number;
    if (value.kind != AnyValue::Kind::Text || value.text.empty() || value.text.size() > 9 ||
        value.text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return static_cast<std::uint32_t>(std::stoul(value.text));
}

std::string Shown(const AnyValue &value) {
    switch (value.kind) {
    case AnyValue::Kind::Absent:
        return std::string(kReadAbsent);
    case AnyValue::Kind::Text:
        return "\"" + value.text + "\"";
    case AnyValue::Kind::Dword: {
        char hex[24];
        std::snprintf(hex, sizeof hex, "dword:0x%08x", value.number);
        return hex;
    }
    case AnyValue::Kind::Other:
        return "type " + std::to_string(value.type);
    case AnyValue::Kind::Unreadable:
        break;
    }
    return std::string(kReadUnreadable);
}

AnyValue ReadNoted(Link &link, RegistryReader &registry, const std::string &path, View view) {
    const AnyValue value = ReadAny(registry, path, view);
    link.read.push_back({view == View::Bits32 ? Wow64StoredPath(path) : path, Shown(value)});
    return value;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string FileOf(const AnyValue &value, SystemFacts &system) {
    std::string file = value.expandable ? system.ExpandEnvironment(value.text) : value.text;
    const std::size_t start = file.find_first_not_of(' ');
    if (start == std::string::npos) return {};
    file.erase(0, start);
    if (file.front() == '"') return file.substr(1, file.find('"', 1) - 1);
    return file.substr(0, file.find_last_not_of(' ') + 1);
}

} // namespace quelvo
