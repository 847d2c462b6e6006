#include "restore.h"

#include "backup.h"
#include "messages.h"
#include "reg_file.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace quelvo {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::vector<std::string> Lines(std::string_view bytes) {
    std::string text;
    if (bytes.starts_with("\xFF\xFE")) text = Utf8FromUtf16Le(bytes.substr(2));
    else text = std::string(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    for (std::string &line : lines)
        if (line.ends_with('\r')) line.pop_back();
    return lines;
}

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

std::optional<std::string> HexList(std::string_view list) {
    std::string bytes;
    while (!list.empty()) {
        while (!list.empty() && (list.front() == ' ' || list.front() == '\t')) list.remove_prefix(1);
        if (list.size() < 2) return list.empty() ? std::optional(bytes) : std::nullopt;
        const auto high = HexDigit(list[0]), low = HexDigit(list[1]);
        if (!high || !low) return std::nullopt;
        bytes += static_cast<char>(*high << 4 | *low);
        list.remove_prefix(2);
        while (!list.empty() && list.front() == ' ') list.remove_prefix(1);
        if (list.empty()) break;
        if (list.front() != ',') return std::nullopt;
        list.remove_prefix(1);
    }
    return bytes;
}

// A quoted name or text: its content and what follows the closing quote.
std::optional<std::pair<std::string, std::string_view>> Unquote(std::string_view text) {
    if (!text.starts_with('"')) return std::nullopt;
    std::string content;
    for (std::size_t at = 1; at < text.size(); ++at) {
        if (text[at] == '"') return std::pair(content, text.substr(at + 1));
        if (text[at] == '\\' && at + 1 < text.size()) ++at;
        content += text[at];
    }
    return std::nullopt;
}

struct Data {
    bool remove = false;
    std::uint32_t type = kRegSz;
    std::string bytes = {};
};

std::optional<Data> ParseData(std::string_view data) {
    if (data == "-") return Data{true};
    if (auto quoted = Unquote(data)) {
        if (!quoted->second.empty()) return std::nullopt;
        std::string bytes = Utf16Le(quoted->first);
        return Data{false, kRegSz, bytes.append(2, '\0')};
    }
    if (data.starts_with("dword:") && data.size() == 14) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) {
            const auto high = HexDigit(data[6 + 2 * i]), low = HexDigit(data[7 + 2 * i]);
            if (!high || !low) return std::nullopt;
            bytes[3 - i] = static_cast<char>(*high << 4 | *low);
        }
        return Data{false, kRegDword, bytes};
    }
    std::uint32_t type = kRegBinary;
    if (data.starts_with("hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) return std::nullopt;
        type = 0;
        for (char c : data.substr(4, close - 4)) {
            const auto digit = HexDigit(c);
            if (!digit) return std::nullopt;
            type = type << 4 | static_cast<std::uint32_t>(*digit);
        }
        data.remove_prefix(close + 2);
    } else if (data.starts_with("hex:")) {
        data.remove_prefix(4);
    } else {
        return std::nullopt;
    }
    const std::optional<std::string> bytes = HexList(data);
    if (!bytes) return std::nullopt;
    return Data{false, type, *bytes};
}

class Reader {
public:
    explicit Reader(Scope scope) : scope_(scope), places_(ManagedPlaces(scope)) {
        if (scope == Scope::Machine) legacy_ = LegacyClassesRootPlaces();
        for (const std::string &place : places_) keys_.push_back(place.substr(0, place.rfind('\\')));
        for (const std::string &place : legacy_) legacyKeys_.push_back(place.substr(0, place.rfind('\\')));
    }

    RestorePlan Read(std::string_view bytes) {
        const std::vector<std::string> lines = Lines(bytes);
        if (lines.empty() || lines.front() != kHeader) return Refuse(1, std::string(kNotARegFile));
        for (number_ = 2; number_ <= lines.size(); ++number_) {
            std::string line = lines[number_ - 1];
            // A value's hex data may go on over several lines, each ending with a backslash; a key or a comment
            // never does.
            while (line.ends_with('\\') && number_ < lines.size() && !line.starts_with('[') && !line.starts_with(';'))
                line = line.substr(0, line.size() - 1) + lines[number_++];
            if (!TakeLine(line)) return plan_;
        }
        if (plan_.actions.empty() && plan_.refusedLine == 0)
            return Refuse(lines.size(), std::string(kNothingToRestore));
        // A key goes before its parent: a parent holding a subkey is not empty.
        std::ranges::stable_sort(absentKeys_, std::greater<>(),
                                 [](const std::string &key) { return std::ranges::count(key, '\\'); });
        for (const std::string &key : absentKeys_)
            plan_.actions.push_back({RestoreAction::Kind::RemoveKeyIfEmpty, key + "\\", 0, {}, "[" + key + "]"});
        return plan_;
    }

private:
    RestorePlan Refuse(std::size_t line, std::string reason) {
        plan_.refusedLine = line;
        plan_.refusedReason = std::move(reason);
        return plan_;
    }

    bool Fail(std::string reason) {
        Refuse(number_, std::move(reason));
        return false;
    }

    bool TakeLine(const std::string &line) {
        if (line.empty()) return true;
        if (line.starts_with(';')) return TakeNote(line);
        if (line.starts_with("[-")) return Fail(std::string(kKeyDeletionRefused));
        if (line.starts_with('[')) {
            if (!line.ends_with(']')) return Fail(std::string(kBadKeyLine));
            key_ = line.substr(1, line.size() - 2);
            legacyKey_ = std::ranges::find(legacyKeys_, key_) != legacyKeys_.end();
            if (!legacyKey_ && std::ranges::find(keys_, key_) == keys_.end() && !BelowAbsentKey(key_))
                return Fail(UnmanagedKeyText(key_));
            return true;
        }
        return TakeValue(line);
    }

    bool TakeNote(const std::string &line) {
        const std::string_view note = std::string_view(line).substr(line.starts_with("; ") ? 2 : 1);
        if (note == std::string(kBackupMarker) + (scope_ == Scope::Machine ? "machine" : "user"))
            plan_.keptByQuelvo = true;
        if (note.starts_with(kAbsentKeyNote)) {
            const std::string key(note.substr(kAbsentKeyNote.size()));
            if (std::ranges::find(keys_, key) == keys_.end() && !BelowAbsentKey(key))
                return Fail(UnmanagedKeyText(key));
            absentKeys_.push_back(key);
        }
        return true;
    }

    bool TakeValue(const std::string &line) {
        if (key_.empty()) return Fail(std::string(kValueOutsideKey));
        std::string name;
        std::string_view rest;
        if (line.starts_with("@=")) {
            rest = std::string_view(line).substr(2);
        } else if (auto quoted = Unquote(line); quoted && quoted->second.starts_with('=')) {
            name = quoted->first;
            rest = quoted->second.substr(1);
        } else {
            return Fail(std::string(kBadLine));
        }
        const std::string path = key_ + "\\" + name;
        if (legacyKey_) {
            if (std::ranges::find(legacy_, path) == legacy_.end()) return Fail(UnmanagedValueText(path));
            plan_.skipped.push_back("[" + key_ + "] " + line);
            return true;
        }
        const std::optional<Data> data = ParseData(rest);
        if (std::ranges::find(places_, path) == places_.end() && !(data && data->remove && CopiedFromMachine(key_)))
            return Fail(UnmanagedValueText(path));
        if (!data) return Fail(std::string(kUnreadableData));
        plan_.actions.push_back({data->remove ? RestoreAction::Kind::Delete : RestoreAction::Kind::Set, path,
                                 data->type, data->bytes, "[" + key_ + "] " + line});
        return true;
    }

    bool Absent(const std::string &key) const { return std::ranges::find(absentKeys_, key) != absentKeys_.end(); }

    // A user's backup names what a per-user switch copied from the machine into a key it created, as absent: below
    // a managed key noted absent before it, and only ever deleted.
    bool BelowAbsentKey(const std::string &key) const {
        return scope_ == Scope::CurrentUser && std::ranges::any_of(keys_, [&](const std::string &managed) {
                   return key.starts_with(managed + "\\") && Absent(managed);
               });
    }
    bool CopiedFromMachine(const std::string &key) const {
        return scope_ == Scope::CurrentUser &&
               ((Absent(key) && std::ranges::find(keys_, key) != keys_.end()) || BelowAbsentKey(key));
    }

    Scope scope_;
    std::vector<std::string> places_, keys_, legacy_, legacyKeys_, absentKeys_;
    RestorePlan plan_;
    std::size_t number_ = 0;
    std::string key_;
    bool legacyKey_ = false;
};

} // namespace

RestorePlan ReadBackup(std::string_view bytes, Scope scope) {
    return Reader(scope).Read(bytes);
}

RegistryError ApplyRestoreAction(const RestoreAction &action, RegistryWriter &writer) {
    switch (action.kind) {
    case RestoreAction::Kind::Set:
        return writer.WriteRaw(action.path, action.type, action.data);
    case RestoreAction::Kind::Delete:
        return writer.DeleteValue(action.path);
    case RestoreAction::Kind::RemoveKeyIfEmpty:
        return writer.DeleteKeyIfEmpty(action.path);
    }
    return kRegistryNotSupported;
}

} // namespace quelvo
