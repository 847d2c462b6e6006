#pragma once
// The command line's French texts, composed from what each verb found; printing them is the verbs' job. Portable:
// the system's own words for an error come in as text.

#include "core/chain.h"
#include "core/hiding.h"
#include "core/in_place.h"
#include "core/installation_probe.h"
#include "core/status.h"
#include "core/restore.h"
#include "core/switch.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quelvo::cli {

// A count as the usage text writes it: "sept"; past twelve, in digits.
std::string NumberInWords(std::size_t count);

// Any verb. systemText: the system's words with the error's code (SystemTextOf); windowsSays: the same as the core
// introduces it (WindowsSays).
std::string UnknownViewerText(const std::string &name);
std::string NoViewerInPlaceText();
std::string OutputFailedText(const std::string &systemText, int code, int finalCode);

// use
std::string AlsoUserRefusedText();
std::string ControlNotRegisteredText(const ViewerRecord &viewer);
std::string DryRunText(const ViewerRecord &viewer, const std::vector<RegistryWrite> &writes);
// What became of the backup before the writes (moved aside, kept, skipped on purpose); empty when nothing is said.
std::string BackupText(const SwitchOutcome &outcome, const std::string &location, Scope scope,
                       const std::string &systemText);
std::string NoBackupText(const ViewerRecord &viewer, const SwitchOutcome &outcome, const std::string &location,
                         const std::string &windowsSays);
// What follows the failed switch's own text: why a write was refused, with the way round it.
std::string RefusedWriteAdvice(const SwitchOutcome &outcome, bool alreadyAdministrator);
std::string AlreadyInPlaceText(const ViewerRecord &viewer, Scope scope);
std::string NowTheViewerText(const ViewerRecord &viewer, Scope scope, const SwitchOutcome &outcome);
std::string AlsoTheUsersText(const ViewerRecord &viewer, const SwitchOutcome &outcome);
// What still wins for the user over the values just written; empty when nothing does.
std::string HidingAfterUseText(const ViewerRecord &viewer, const HidingReport &report);

// restore
std::string BackupRefusedText(const std::string &name, const std::string &why);
std::string FileNotOpenedText(const std::string &name, const std::string &systemText);
std::string NotReadWholeReason(const std::string &systemText);
std::string RefusedLineReason(std::size_t line, const std::string &reason);
std::string SkippedOldPlaceText(const std::string &line);
std::string RestoreActionText(const RestoreAction &action);
std::string PlaceNotRestoredText(const std::string &path, const std::string &windowsSays, std::size_t done);
std::string RestoreNeedsAdministratorText();
std::string NothingWrittenDryRunText();
std::string PlacesRestoredText(std::size_t done);

// -o FILE
std::string KeptBackupNeverReplacedText(const std::string &path);
std::string FileExistsText(const std::string &path);
std::string FileAppearedText(const std::string &path);
std::string FileNotWrittenText(const std::string &path, const std::string &systemText, bool existed);

// export
std::string ProgIdNotRegisteredText(std::string_view progId);
std::string ExtensionsLeftOutText(const std::vector<std::string_view> &extensions);
std::string IeModeNoteText(const ViewerRecord &viewer);
std::string SiteListWrittenText(const std::string &file, const std::string &location);

// check
std::string CheckRefusedLine();
// The verdict and its counts first, the details after, so that a cut line loses only details.
std::string CheckLineText(const CheckReport &report);

// status and what several verbs show of a value or a place
std::string ValueText(const SeenValue &value); // "\"text\"" escaped, absent, pas du texte, illisible
std::string KeyOf(const std::string &path);
// "  .wrl : <what wins for this user>" and a line end.
std::string WhyLine(const PlaceVerdict &place);
std::string StatusText(const StatusReport &report);

// diagnose: one line per link, then for a link that is not ok what was read, why and what to do.
std::string ChainText(const Chain &chain);
// status's line naming the first broken link; empty when none is broken.
std::string FirstBrokenLine(const Chain &chain);

// list: the viewer's controls and file type as the registry shows them.
std::string ControlLines(const ViewerRecord &viewer, InstallationProbe &probe);

} // namespace quelvo::cli
