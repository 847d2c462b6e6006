#include "arguments.h"
#include "verbs.h"

#include <algorithm>

namespace quelvo::cli {
namespace {

constexpr std::array<std::string_view, 3> kHelpWords = {"--help", "-h", "/?"};

// Whole seconds, at most a day: a script that waits longer means something else.
bool AreSeconds(const std::string &word) {
    return !word.empty() && word.size() <= 5 && word.find_first_not_of("0123456789") == std::string::npos &&
           std::stoul(word) <= 86400;
}

// The option if this verb accepts it: any other is a wrong command line.
const OptionRow *OptionOf(const VerbRow &verb, const std::string &word) {
    if (std::ranges::find(verb.options, word) == verb.options.end()) return nullptr;
    const auto option = std::ranges::find(Options(), word, &OptionRow::name);
    return option == Options().end() ? nullptr : &*option;
}

// An option's value is taken whatever it looks like, so that a wrong one is never read as the viewer's name.
bool TakeOption(const OptionRow &option, const std::vector<std::string> &words, std::size_t &at,
                Arguments &arguments) {
    if (option.value == ValueKind::None) return option.take(arguments, {});
    if (++at == words.size()) return false;
    if (option.value == ValueKind::Seconds && !AreSeconds(words[at])) return false;
    return option.take(arguments, words[at]);
}

} // namespace

std::optional<Arguments> ParseArguments(const std::vector<std::string> &words) {
    if (words.empty()) return std::nullopt;
    if (std::ranges::find_first_of(words, kHelpWords) != words.end()) return Arguments{};
    const auto verb = std::ranges::find(kVerbs, words.front(), &VerbRow::name);
    if (verb == kVerbs.end()) return std::nullopt;
    Arguments arguments;
    arguments.verb = verb->verb;
    bool named = false;
    for (std::size_t at = 1; at < words.size(); ++at) {
        if (const OptionRow *option = OptionOf(*verb, words[at])) {
            if (!TakeOption(*option, words, at, arguments)) return std::nullopt;
            continue;
        }
        if (words[at].starts_with("-") || verb->word == WordKind::None || named) return std::nullopt;
        arguments.viewer = words[at];
        named = true;
    }
    if (verb->word == WordKind::Viewer && !named) return std::nullopt;
    if (verb->coherent && !verb->coherent(arguments, named)) return std::nullopt;
    return arguments;
}

} // namespace quelvo::cli
