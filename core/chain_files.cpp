// What a double-click on a .wrl or a .x3d file runs for this user: the shell takes the "Ouvrir avec" choice, else
// the file type that the extension names (the user's classes first), then that type's shell\open\command
// (Microsoft, "File Types", "Merged View of HKEY_CLASSES_ROOT").
#include "chain.h"
#include "chain_read.h"
#include "messages.h"

#include "association.h"

#include <array>
#include <optional>

namespace quelvo {
namespace {

constexpr std::array<std::string_view, 2> kOpenedExtensions = {".wrl", ".x3d"};

// The user's classes hide the machine's key of the same name whole.
std::string ClassesPath(RegistryReader &registry, std::string_view below) {
    const std::string user = std::string(kUserClasses).append(below.substr(0, below.find('\\')));
    const bool mine = registry.KeyExists(user + "\\").state == KeyState::Present;
    return std::string(mine ? kUserClasses : kMachineClasses).append(below);
}

std::optional<std::string> ProgIdFor(std::string_view extension, RegistryReader &registry, Link &link) {
    const auto [latestKey, latestValue] = UserChoiceLatestPaths(extension);
    for (const std::string &choice : {latestKey, latestValue, UserChoicePath(extension)}) {
        const AnyValue value = ReadAny(registry, choice);
        if (value.kind == AnyValue::Kind::Absent) continue;
        link.read.push_back({choice, Shown(value)});
        if (value.kind == AnyValue::Kind::Text && !value.text.empty()) return value.text;
    }
    const AnyValue value = ReadNoted(link, registry, ClassesPath(registry, std::string(extension) + "\\"));
    if (value.kind == AnyValue::Kind::Text && !value.text.empty()) return value.text;
    return std::nullopt;
}

// The program of a command line: the quoted first word, or the text up to ".exe", or up to the first blank.
std::string ProgramOf(const AnyValue &command, SystemFacts &system) {
    const std::string line = command.expandable ? system.ExpandEnvironment(command.text) : command.text;
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return {};
    if (line[start] == '"') return line.substr(start + 1, line.find('"', start + 1) - start - 1);
    for (std::size_t at = start; at + 4 <= line.size(); ++at)
        if (SameNoCase(std::string_view(line).substr(at, 4), ".exe")) return line.substr(start, at + 4 - start);
    return line.substr(start, line.find(' ', start) - start);
}

void CheckExtension(std::string_view extension, const ChainInputs &in, Link &link) {
    const std::optional<std::string> progId = ProgIdFor(extension, in.registry, link);
    if (!progId) {
        link.Break(NoFileTypeCause(extension));
        return;
    }
    const AnyValue command =
        ReadNoted(link, in.registry, ClassesPath(in.registry, *progId + "\\shell\\open\\command\\"));
    const std::string program = command.kind == AnyValue::Kind::Text ? ProgramOf(command, in.system) : std::string();
    if (program.empty()) {
        link.Break(NoOpenCommandCause(*progId, extension));
        return;
    }
    if (program.find('\\') == std::string::npos) {
        const std::string inSystem = in.system.ExpandEnvironment("%SystemRoot%\\System32\\") + program;
        if (!in.system.FileExists(inSystem)) link.Doubt(ProgramSearchedCause(extension, program, *progId));
        return;
    }
    if (!in.system.FileExists(program)) link.Break(ProgramMissingCause(extension, program, *progId));
}

} // namespace

Link FilesLink(const ChainInputs &in) {
    Link link{LinkId::Files};
    if (in.account != Account::User) {
        link.Doubt(FilesNotCheckedCause());
        return link;
    }
    for (std::string_view extension : kOpenedExtensions)
        CheckExtension(extension, in, link);
    return link;
}

} // namespace quelvo
