#include "verbs.h"

#include "messages.h"

#include "core/exit_codes.h"
#include "core/messages.h"
#include "core/viewer_catalogue.h"

namespace quelvo::cli {
namespace {

constexpr std::array<OptionRow, 12> kOptions = {{
    {"--user", ValueKind::None, [](Arguments &a, const std::string &) { return a.user = true; },
     "  --user          écrit sous HKEY_CURRENT_USER\\Software\\Classes, pour vous seul, sans droits "
     "d'administrateur\n"},
    {"--also-user", ValueKind::None, [](Arguments &a, const std::string &) { return a.alsoUser = true; },
     "  --also-user     après les valeurs de la machine, fait aussi le changement pour vous seul\n"},
    {"--wait", ValueKind::Seconds,
     [](Arguments &a, const std::string &seconds) {
         a.waitSeconds = static_cast<std::uint32_t>(std::stoul(seconds));
         return true;
     },
     "  --wait SECONDES attend au plus ce temps qu'un autre changement de la machine finisse (10 par défaut)\n"},
    {"--dry-run", ValueKind::None, [](Arguments &a, const std::string &) { return a.dryRun = true; },
     "  --dry-run       affiche les 29 écritures sans rien écrire\n"},
    {"--rewrite", ValueKind::None, [](Arguments &a, const std::string &) { return a.rewrite = true; },
     "  --rewrite       fait les 29 écritures même si tout est déjà en place\n"},
    {"-o", ValueKind::Text,
     [](Arguments &a, const std::string &file) {
         if (a.outputFile) return false; // one file only
         a.outputFile = file;
         return true;
     },
     "  -o FICHIER      écrit le fichier .reg au lieu de la sortie standard (jamais par-dessus un fichier existant\n"
     "                  sans --force, jamais par-dessus une sauvegarde de Quelvo)\n"},
    {"--no-backup", ValueKind::None, [](Arguments &a, const std::string &) { return a.noBackup = true; },
     "  --no-backup     change de viewer même si les valeurs d'avant ne peuvent pas être sauvegardées\n"},
    {"--json", ValueKind::None, [](Arguments &a, const std::string &) { return a.json = true; }, {}},
    {"--dism", ValueKind::None, [](Arguments &a, const std::string &) { return a.dism = true; }, {}},
    {"--ie-mode", ValueKind::None, [](Arguments &a, const std::string &) { return a.ieMode = true; }, {}},
    {"--site",
     ValueKind::Text,
     [](Arguments &a, const std::string &site) {
         a.sites.push_back(site);
         return !site.empty() && !site.starts_with("-");
     },
     {}},
    {"--force", ValueKind::None, [](Arguments &a, const std::string &) { return a.force = true; }, {}},
}};

constexpr std::string_view kUsageHead = "Usage : quelvo-cli <commande> [options]\n\n";

} // namespace

bool UseIsCoherent(const Arguments &arguments, bool) {
    return !(arguments.alsoUser && arguments.user); // --user alone already is the per-user switch
}

// Without a name, export --ie-mode takes the viewer in place. The site list goes beside the .reg file, and belongs
// to Internet Explorer mode alone. The default-associations file is applied to users by Windows itself: there is
// no per-user form of it.
bool ExportIsCoherent(const Arguments &arguments, bool named) {
    if (!named && !arguments.ieMode) return false;
    if (!arguments.sites.empty() && (!arguments.ieMode || !arguments.outputFile)) return false;
    if (arguments.ieMode && (arguments.dism || arguments.user)) return false;
    return !(arguments.dism && arguments.user);
}

std::span<const OptionRow> Options() {
    return kOptions;
}

std::string UsageText() {
    std::string text(kUsageHead);
    for (const VerbRow &verb : kVerbs)
        text += verb.usage;
    const std::string count = NumberInWords(Viewers().size());
    for (std::size_t at = text.find(kViewerCountWord); at != std::string::npos; at = text.find(kViewerCountWord, at))
        text.replace(at, kViewerCountWord.size(), count);
    text += "\n";
    for (const OptionRow &option : kOptions)
        text += option.help;
    text += "\nCodes de sortie :\n";
    for (const ExitCodeMeaning &meaning : kExitCodeMeanings)
        text += "  " + std::to_string(ToInt(meaning.code)) + "  " + std::string(meaning.text) + "\n";
    return text;
}

} // namespace quelvo::cli
