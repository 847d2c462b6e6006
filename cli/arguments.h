#pragma once
// The command line as words: a verb, at most one viewer name and a few options.

#include "core/switch_lock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelvo::cli {

enum class Verb { Help, List, Status, Use, Export, Backup, Restore, Check, Diagnose };

struct Arguments {
    Verb verb = Verb::Help;
    std::string viewer;    // restore: the file, empty for the backup Quelvo kept
    std::optional<std::string> outputFile;
    bool json = false;
    bool dryRun = false;
    bool user = false;
    bool rewrite = false; // use: write even what is already in place
    bool dism = false;    // export: Windows' default-associations file instead of a .reg file
    bool alsoUser = false;      // use: the per-user switch too, after the machine's
    std::uint32_t waitSeconds = kDefaultLockWaitSeconds; // use, restore: how long another machine switch may keep us waiting
    bool noBackup = false; // use: go on when no backup can be kept
    bool force = false;    // export, backup: -o may replace an existing file
    bool ieMode = false;   // export: the policies that turn on Internet Explorer mode in Microsoft Edge
    std::vector<std::string> sites; // export --ie-mode: the sites of the site list written beside -o FILE
};

// nullopt for a wrong command line: an unknown verb or option, a missing or extra word.
std::optional<Arguments> ParseArguments(const std::vector<std::string> &words);

} // namespace quelvo::cli
