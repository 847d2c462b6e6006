#include "arguments.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quelvo::cli {
namespace {

constexpr std::array<std::pair<std::string_view, Verb>, 9> kVerbs = {{{"--help", Verb::Help},
                                                                     {"list", Verb::List},
                                                                     {"status", Verb::Status},
                                                                     {"use", Verb::Use},
                                                                     {"export", Verb::Export},
                                                                     {"backup", Verb::Backup},
                                                                     {"restore", Verb::Restore},
                                                                     {"check", Verb::Check},
                                                                     {"diagnose", Verb::Diagnose}}};

bool TakesViewer(Verb verb) {
    return verb == Verb::Use || verb == Verb::Export || verb == Verb::Check || verb == Verb::Diagnose;
}

// Without a name, diagnose and export --ie-mode take the viewer in place.
bool NeedsViewer(const Arguments &arguments) {
    return TakesViewer(arguments.verb) && arguments.verb != Verb::Diagnose && !arguments.ieMode;
}

// Whole seconds, at most a day: a script that waits longer means something else.
bool TakeSeconds(const std::string &word, Arguments &arguments) {
    if (word.empty() || word.size() > 5 || word.find_first_not_of("0123456789") != std::string::npos) return false;
    const unsigned long seconds = std::stoul(word);
    if (seconds > 86400) return false;
    arguments.waitSeconds = static_cast<std::uint32_t>(seconds);
    return true;
}

// Each option belongs to the verbs that use it; anything else is a wrong command line, and so is an option whose
// value is wrong (wrong set): the value must not be read as the viewer's name instead.
bool TakeOption(const std::vector<std::string> &words, std::size_t &at, Arguments &arguments, bool &wrong) {
    const std::string &word = words[at];
    const Verb verb = arguments.verb;
    if (word == "--json" && (verb == Verb::Status || verb == Verb::Check || verb == Verb::Diagnose))
        return arguments.json = true;
    if (word == "--dry-run" && (verb == Verb::Use || verb == Verb::Restore)) return arguments.dryRun = true;
    if (word == "--rewrite" && verb == Verb::Use) return arguments.rewrite = true;
    if (word == "--dism" && verb == Verb::Export) return arguments.dism = true;
    if (word == "--ie-mode" && verb == Verb::Export) return arguments.ieMode = true;
    if (word == "--site" && verb == Verb::Export && at + 1 < words.size()) {
        arguments.sites.push_back(words[++at]);
        wrong = arguments.sites.back().empty() || arguments.sites.back().starts_with("-");
        return true;
    }
    if (word == "--user" && (verb == Verb::Use || verb == Verb::Export || verb == Verb::Backup || verb == Verb::Check ||
                             verb == Verb::Restore))
        return arguments.user = true;
    if (word == "--also-user" && verb == Verb::Use) return arguments.alsoUser = true;
    if (word == "--wait" && (verb == Verb::Use || verb == Verb::Restore) && at + 1 < words.size()) {
        wrong = !TakeSeconds(words[++at], arguments);
        return true;
    }
    if (word == "--no-backup" && verb == Verb::Use) return arguments.noBackup = true;
    if (word == "--force" && (verb == Verb::Export || verb == Verb::Backup)) return arguments.force = true;
    if (word == "-o" && (verb == Verb::Export || verb == Verb::Backup) && at + 1 < words.size() &&
        !arguments.outputFile) {
        arguments.outputFile = words[++at];
        return true;
    }
    return false;
}

} // namespace

std::optional<Arguments> ParseArguments(const std::vector<std::string> &words) {
    if (words.empty()) return std::nullopt;
    if (std::ranges::find(words, "--help") != words.end() || std::ranges::find(words, "-h") != words.end() ||
        std::ranges::find(words, "/?") != words.end())
        return Arguments{};
    const auto verb = std::ranges::find(kVerbs, words.front(), &std::pair<std::string_view, Verb>::first);
    if (verb == kVerbs.end()) return std::nullopt;
    Arguments arguments;
    arguments.verb = verb->second;
    bool haveViewer = false, wrong = false;
    for (std::size_t at = 1; at < words.size(); ++at) {
        if (TakeOption(words, at, arguments, wrong)) {
            if (wrong) return std::nullopt;
            continue;
        }
        const bool takesWord = TakesViewer(arguments.verb) || arguments.verb == Verb::Restore;
        if (words[at].starts_with("-") || !takesWord || haveViewer) return std::nullopt;
        arguments.viewer = words[at];
        haveViewer = true;
    }
    if (NeedsViewer(arguments) && !haveViewer) return std::nullopt;
    // The site list goes beside the .reg file, and belongs to Internet Explorer mode alone.
    if (!arguments.sites.empty() && (!arguments.ieMode || !arguments.outputFile)) return std::nullopt;
    if (arguments.ieMode && (arguments.dism || arguments.user)) return std::nullopt;
    // The default-associations file is applied to users by Windows itself; there is no per-user form of it.
    if (arguments.dism && arguments.user) return std::nullopt;
    if (arguments.alsoUser && arguments.user) return std::nullopt; // --user alone already is the per-user switch
    return arguments;
}

} // namespace quelvo::cli
