#pragma once
// The command line's exit codes: the one definition that the command line, its usage text and the window's
// elevated switch all read, so a script, the window and the README cannot disagree.

#include <array>
#include <string_view>

namespace quelvo {

enum class ExitCode : int {
    Ok = 0,               // done, or already in place
    Failed = 1,           // failed, or differs
    Usage = 2,            // wrong command line (nothing was written)
    NoViewer = 3,         // status: no viewer recognised
    UsersNotChecked = 4,  // status: run as SYSTEM or a service, so no user's own settings were checked
    AccessDenied = 5,     // a write was refused
    LockBusy = 6,         // the PC-wide lock is busy or held by another account
    NoBackup = 7,         // no backup could be kept before the first switch
    FileRefused = 8,      // a file was refused (untrusted restore, -o onto an existing file or the machine backup)
    OutputFailed = 9,     // writing the output failed
};

struct ExitCodeMeaning {
    ExitCode code;
    std::string_view text; // French, as the window and the usage text say it
};

inline constexpr std::array<ExitCodeMeaning, 10> kExitCodeMeanings = {{
    {ExitCode::Ok, "terminé (ou déjà en place)"},
    {ExitCode::Failed, "échec, ou différence constatée"},
    {ExitCode::Usage, "ligne de commande incorrecte"},
    {ExitCode::NoViewer, "aucun viewer reconnu"},
    {ExitCode::UsersNotChecked, "réglages propres aux utilisateurs non vérifiés (compte système ou service)"},
    {ExitCode::AccessDenied, "une écriture a été refusée"},
    {ExitCode::LockBusy, "le verrou du PC est occupé ou tenu par un autre compte"},
    {ExitCode::NoBackup, "aucune sauvegarde n'a pu être gardée avant le premier changement"},
    {ExitCode::FileRefused, "fichier refusé"},
    {ExitCode::OutputFailed, "l'écriture de la sortie a échoué"},
}};

constexpr int ToInt(ExitCode code) { return static_cast<int>(code); }

// The code to end with when standard output could not be written: what the registry or a file underwent (5 to 8)
// says more than the lost output, which the error output names too.
constexpr int ExitCodeAfterOutputFailure(int code) {
    const bool registryOutcome = code >= ToInt(ExitCode::AccessDenied) && code <= ToInt(ExitCode::FileRefused);
    return registryOutcome ? code : ToInt(ExitCode::OutputFailed);
}

// The meaning of a code the command line may return; empty for any other number.
constexpr std::string_view ExitCodeText(int code) {
    for (const ExitCodeMeaning &meaning : kExitCodeMeanings)
        if (ToInt(meaning.code) == code) return meaning.text;
    return {};
}

} // namespace quelvo
