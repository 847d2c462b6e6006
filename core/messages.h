#pragma once
// The core's French texts, which the window and the command line both say: a switch's outcome, a backup file's
// notes, the PC-wide lock's refusals (declared with the lock, in switch_lock.h), why a backup file is not trusted
// (declared in file_trust.h), the system's own words for an error with its code, why a backup is refused, the chain's
// causes and what the exit codes mean.

#include "backup.h"
#include "chain.h"
#include "exit_codes.h"
#include "switch.h"

#include <array>

#include <cstddef>
#include <string>
#include <string_view>

namespace quelvo {

// "<the system's words> (erreur N)".
std::string ErrorText(std::string_view systemText, unsigned long error);
// The same, introduced as what Windows says; what comes around it is the caller's.
std::string WindowsSaysText(std::string_view systemText, unsigned long error);

// A backup file's notes: whose values it keeps and from when, then how to put them back.
std::string BackupWhenText(Scope scope, BackupKind kind, std::string_view when);
std::string BackupWayBackText(Scope scope);

// What stays written after a switch that stopped at a refused write; singular and plural agree with the count.
std::string WhatStaysText(std::size_t writesDone);

// Lines: one fact a line, as the command line says it. Paragraphs: a blank line between them and the key on a line
// of its own, as a message box shows it.
enum class TextLayout { Lines, Paragraphs };

// A switch stopped at a refused write: the key refused, what Windows says (systemText: its words for the error) and
// what stays written. What can be done next is the caller's.
std::string FailureDetailsText(const SwitchOutcome &outcome, std::string_view systemText, TextLayout layout);
// The same after a first sentence that names the viewer.
std::string FailedSwitchText(const ViewerRecord &viewer, const SwitchOutcome &outcome, std::string_view systemText,
                             TextLayout layout);

// What each exit code means, as the window and the usage text say it.
struct ExitCodeMeaning {
    ExitCode code;
    std::string_view text;
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

// The meaning of a code the command line may return; empty for any other number.
constexpr std::string_view ExitCodeText(int code) {
    for (const ExitCodeMeaning &meaning : kExitCodeMeanings)
        if (ToInt(meaning.code) == code) return meaning.text;
    return {};
}

// Why a backup file is refused, after the number of the line that refuses it.
inline constexpr std::string_view kNotARegFile = "ce n'est pas un fichier .reg de Windows";
inline constexpr std::string_view kNothingToRestore = "aucune valeur à remettre";
inline constexpr std::string_view kKeyDeletionRefused = "une suppression de clé n'est jamais remise";
inline constexpr std::string_view kBadKeyLine = "ligne de clé mal formée";
inline constexpr std::string_view kValueOutsideKey = "valeur hors de toute clé";
inline constexpr std::string_view kBadLine = "ligne mal formée";
inline constexpr std::string_view kUnreadableData = "donnée illisible";
std::string UnmanagedKeyText(std::string_view key);
std::string UnmanagedValueText(std::string_view path);

// A value as the chain's report shows what was read, when it holds no text or number.
inline constexpr std::string_view kReadAbsent = "absent";
inline constexpr std::string_view kReadUnreadable = "illisible";
inline constexpr std::string_view kReadNotText = "pas du texte";

// The chain's causes, link by link. The values on the machine, and what of the user's own wins over them:
Cause MachineDiffersCause(std::size_t differing, std::string_view viewerName);
Cause NotAUserCause();
Cause UserKeysWinCause(std::string_view extensions, std::string_view viewerName);
Cause UserChoicesWinCause(std::string_view extensions);
Cause UserSettingsUnreadCause(std::string_view places);
Cause LatestChoicesWinCause(std::string_view extensions);
Cause LatestChoicesUnreadCause(std::string_view extensions);

// The control's registration and file, as a 32-bit browser finds them (file: as it opens it, named: as registered).
Cause NoControlFileCause(std::string_view clsid);
Cause ControlFileWithoutFolderCause(std::string_view clsid, std::string_view file);
Cause ControlFileMissingCause(std::string_view clsid, std::string_view file, std::string_view named);
Cause ControlUnreadableCause(std::string_view clsid);
// mine: the user's own registration, which wins for this user; only64Bit: registered in the 64-bit view alone.
Cause ControlNot32BitCause(std::string_view clsid, bool mine, bool only64Bit);

// What keeps Internet Explorer's engine from loading the control.
inline constexpr std::string_view kLocalIntranetZone = "Intranet local";
inline constexpr std::string_view kInternetZone = "Internet";
Cause KillBitCause(std::string_view clsid, bool bits32View);
Cause AddOnDeniedCause(std::string_view clsid);
Cause AddOnNotListedCause(std::string_view clsid);
Cause AddOnDisabledCause(std::string_view clsid);
Cause ZoneDisallowsCause(std::string_view zoneName);
Cause Tabs64BitCause();

// Whether a browser hosts the control: Internet Explorer 11 on this Windows ("Windows x.y.z"), then what Internet
// Explorer mode lacks.
enum class Ie11Case { Kept, KeptOnServer, ServerUnknown, Windows11, KeptOnLtsc, Windows10Unknown };
std::string Ie11Text(Ie11Case which, std::string_view windows);
std::string IeModeOffText();
std::string IeModeGivenNothingText();
std::string IeModeExtensionsMissingText(std::string_view extensions);
// usersRead: false as SYSTEM or a service, whose users' own policies were not read.
Cause BrowserCause(std::string_view ie11, std::string_view gap, std::string_view viewerName, bool usersRead);

// What a double-click on a file runs.
Cause FilesNotCheckedCause();
Cause NoFileTypeCause(std::string_view extension);
Cause NoOpenCommandCause(std::string_view progId, std::string_view extension);
Cause ProgramSearchedCause(std::string_view extension, std::string_view program, std::string_view progId);
Cause ProgramMissingCause(std::string_view extension, std::string_view program, std::string_view progId);

} // namespace quelvo
