#pragma once
// The command line's verbs and options as one table, which both the parsing and the usage text read. A verb's
// handler is bound to it in commands.cpp, which a compile-time check keeps in the table's order: this file stays
// portable, so that the native core tests parse with it.

#include "arguments.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace quelvo::cli {

// What follows an option on the command line.
enum class ValueKind { None, Text, Seconds };

struct OptionRow {
    std::string_view name;
    ValueKind value;
    // Records the option and its value (Seconds: already read as whole seconds); false for a wrong value, which
    // then is no viewer's name either.
    bool (*take)(Arguments &arguments, const std::string &value);
    std::string_view help; // its lines in the usage text; empty where the verbs' lines say enough
};

// The word a verb takes besides its options.
enum class WordKind { None, Viewer, ViewerOrInPlace, File };

struct VerbRow {
    std::string_view name;
    Verb verb;
    WordKind word;
    std::span<const std::string_view> options; // the names of the options it accepts
    // Its lines in the usage text; kViewerCountWord stands for the catalogue's count of viewers, in words.
    std::string_view usage;
    // The combinations of options and word that this verb refuses; named: a word was given. Null: none.
    bool (*coherent)(const Arguments &arguments, bool named);
};

inline constexpr std::string_view kViewerCountWord = "{viewers}";

bool ExportIsCoherent(const Arguments &arguments, bool named);
bool UseIsCoherent(const Arguments &arguments, bool named);

inline constexpr std::array<std::string_view, 6> kUseOptions = {"--dry-run", "--user",    "--also-user",
                                                                "--wait",    "--no-backup", "--rewrite"};
inline constexpr std::array<std::string_view, 6> kExportOptions = {"-o",     "--user",    "--force",
                                                                   "--dism", "--ie-mode", "--site"};
inline constexpr std::array<std::string_view, 3> kBackupOptions = {"-o", "--user", "--force"};
inline constexpr std::array<std::string_view, 3> kRestoreOptions = {"--user", "--dry-run", "--wait"};
inline constexpr std::array<std::string_view, 2> kCheckOptions = {"--user", "--json"};
inline constexpr std::array<std::string_view, 1> kJsonOnly = {"--json"};

// In the usage text's order.
inline constexpr std::array<VerbRow, 9> kVerbs = {{
    {"list", Verb::List, WordKind::None, {},
     "  list                                les {viewers} viewers, le viewer actuel et ce qui semble installé\n",
     nullptr},
    {"status", Verb::Status, WordKind::None, kJsonOnly,
     "  status [--json]                     le viewer de la machine, ses 20 emplacements et ce qui l'emporte pour vous\n",
     nullptr},
    {"use", Verb::Use, WordKind::Viewer, kUseOptions,
     "  use <viewer> [--dry-run] [--user | --also-user] [--wait SECONDES] [--no-backup] [--rewrite]\n"
     "                                      choisit le viewer (les 29 écritures d'un clic dans la fenêtre) ;\n"
     "                                      n'écrit rien si tout est déjà en place\n",
     UseIsCoherent},
    {"check", Verb::Check, WordKind::Viewer, kCheckOptions,
     "  check <viewer> [--user] [--json]    une ligne : 0 en place, 1 à réparer (pour Intune, ConfigMgr)\n", nullptr},
    {"export", Verb::Export, WordKind::ViewerOrInPlace, kExportOptions,
     "  export <viewer> [-o FICHIER] [--user] [--force]   les valeurs du viewer en fichier .reg\n"
     "  export <viewer> --dism [-o FICHIER] [--force]   le fichier d'associations par défaut de Windows (DISM, Intune)\n"
     "  export --ie-mode [<viewer>] [--site URL]... [-o FICHIER] [--force]\n"
     "                                      les stratégies qui ouvrent le mode Internet Explorer de Microsoft Edge\n"
     "                                      aux fichiers du viewer (et, avec --site et -o, la liste de sites à côté)\n",
     ExportIsCoherent},
    {"diagnose", Verb::Diagnose, WordKind::ViewerOrInPlace, kJsonOnly,
     "  diagnose [<viewer>] [--json]        ce qui reste entre le viewer (par défaut celui de la machine) et une\n"
     "                                      image 3D : values, hidden, control, blocked, browser, files\n",
     nullptr},
    {"backup", Verb::Backup, WordKind::None, kBackupOptions,
     "  backup [-o FICHIER] [--user] [--force]  les 20 emplacements tels qu'ils sont, en fichier .reg qui les remet\n",
     nullptr},
    {"restore", Verb::Restore, WordKind::File, kRestoreOptions,
     "  restore [FICHIER] [--user] [--dry-run] [--wait SECONDES]\n"
     "                                      remet la sauvegarde gardée avant le premier changement (ou FICHIER)\n",
     nullptr},
    {"--help", Verb::Help, WordKind::None, {}, "  --help                              cette aide\n", nullptr},
}};

// Every option, in the order of the usage text's lines on them.
std::span<const OptionRow> Options();
// The whole usage text, exit codes included.
std::string UsageText();

} // namespace quelvo::cli
