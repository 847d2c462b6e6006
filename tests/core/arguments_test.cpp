#include "cli/arguments.h"
#include "cli/verbs.h"
#include "core/messages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quelvo {
namespace {

using cli::ParseArguments;
using cli::Verb;

std::optional<cli::Arguments> Parse(std::initializer_list<const char *> words) {
    return ParseArguments(std::vector<std::string>(words.begin(), words.end()));
}

TEST(Arguments, EachOptionGoesWithItsOwnVerbsOnly) {
    const auto use = Parse({"use", "octaga", "--rewrite", "--also-user", "--no-backup", "--dry-run", "--wait", "0"});
    ASSERT_TRUE(use);
    EXPECT_EQ(use->verb, Verb::Use);
    EXPECT_EQ(use->viewer, "octaga");
    EXPECT_TRUE(use->rewrite && use->alsoUser && use->noBackup && use->dryRun);
    EXPECT_EQ(use->waitSeconds, 0u);
    EXPECT_EQ(Parse({"restore"})->waitSeconds, 10u);

    const auto exported = Parse({"export", "-o", "a.reg", "flux", "--force", "--dism"});
    ASSERT_TRUE(exported);
    EXPECT_EQ(exported->outputFile, "a.reg");
    EXPECT_EQ(exported->viewer, "flux");
    EXPECT_TRUE(exported->force && exported->dism && !exported->user);
    EXPECT_EQ(Parse({"restore", "C:\\old.reg", "--user"})->viewer, "C:\\old.reg");
    EXPECT_TRUE(Parse({"check", "flux", "--json"})->json);
    EXPECT_EQ(Parse({"status", "--help"})->verb, Verb::Help);
    EXPECT_EQ(Parse({"/?"})->verb, Verb::Help);

    for (const std::vector<std::string> &wrong : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"Use", "flux"}, {"use"}, {"use", "octaga", "flux"}, {"status", "flux"},
             {"list", "--json"}, {"status", "--dry-run"}, {"backup", "--rewrite"}, {"check", "flux", "--dism"},
             {"use", "flux", "--force"}, {"status", "--user"}, {"use", "flux", "-o", "a.reg"},
             {"export", "flux", "-o"}, {"export", "flux", "-o", "a", "-o", "b"}, {"use", "flux", "--wait"},
             {"use", "flux", "--wait", "86401"}, {"use", "flux", "--wait", "-1"}, {"use", "flux", "--wait", "1.5"},
             {"use", "flux", "--wait", "000010"}, {"use", "--wait", "octaga"}, {"use", "-flux"}, {"export", "flux", "--dism", "--user"},
             {"use", "flux", "--user", "--also-user"}, {"diagnose", "flux", "--user"}, {"diagnose", "a", "b"},
             {"export", "--site", "x", "-o", "a.reg"}, {"export", "--ie-mode", "--site", "x"},
             {"export", "--ie-mode", "--dism"}, {"export", "--ie-mode", "--site", "-o", "a.reg"}, {"export", "--dism"},
             {"use", "--ie-mode", "flux"}}) {
        SCOPED_TRACE(::testing::PrintToString(wrong));
        EXPECT_FALSE(ParseArguments(wrong));
    }
    EXPECT_EQ(Parse({"use", "flux", "--wait", "86400"})->waitSeconds, 86400u);
    // diagnose and export --ie-mode take the viewer in place when none is named; sites go beside -o FILE only.
    EXPECT_EQ(Parse({"diagnose"})->viewer, "");
    EXPECT_TRUE(Parse({"diagnose", "flux", "--json"})->json);
    const auto ieMode = Parse({"export", "--ie-mode", "--site", "a.org", "-o", "f.reg", "--site", "b.org/3d"});
    ASSERT_TRUE(ieMode);
    EXPECT_TRUE(ieMode->ieMode && ieMode->viewer.empty());
    EXPECT_EQ(ieMode->sites, (std::vector<std::string>{"a.org", "b.org/3d"}));
}

// The table is the one place for a verb: each one shows in the usage text, parses, and names only options that
// exist and that its own usage lines show.
TEST(Arguments, EveryVerbOfTheTableShowsInTheUsageAndParses) {
    const std::string usage = cli::UsageText();
    for (const cli::VerbRow &verb : cli::kVerbs) {
        SCOPED_TRACE(std::string(verb.name));
        EXPECT_NE(usage.find("\n  " + std::string(verb.name) + " "), std::string::npos);
        std::vector<std::string> words{std::string(verb.name)};
        if (verb.word != cli::WordKind::None) words.push_back("octaga");
        const auto parsed = ParseArguments(words);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->verb, verb.verb);
        for (std::string_view option : verb.options) {
            EXPECT_NE(verb.usage.find(option), std::string_view::npos) << option << " is not in the verb's usage";
            EXPECT_NE(std::ranges::find(cli::Options(), option, &cli::OptionRow::name), cli::Options().end())
                << option << " is no option";
        }
    }
    for (const cli::OptionRow &option : cli::Options())
        EXPECT_TRUE(std::ranges::any_of(cli::kVerbs, [&](const cli::VerbRow &verb) {
            return std::ranges::find(verb.options, option.name) != verb.options.end();
        })) << option.name << " belongs to no verb";
}

TEST(WhatStays, SaysNothingChangedOrHowManyValuesStayInAgreement) {
    EXPECT_EQ(WhatStaysText(0), "Aucune valeur du registre n'a été modifiée.");
    const std::string one = WhatStaysText(1);
    EXPECT_TRUE(one.starts_with("La valeur écrite avant cette clé reste en place")) << one;
    EXPECT_EQ(one.find("valeurs"), std::string::npos) << "singular throughout";
    for (const std::size_t done : {2u, 9u, 28u}) {
        const std::string many = WhatStaysText(done);
        EXPECT_TRUE(many.starts_with("Les " + std::to_string(done) + " valeurs écrites avant cette clé restent en place"))
            << many;
        EXPECT_TRUE(many.ends_with("les remplacera toutes.")) << many;
    }
}

} // namespace
} // namespace quelvo
