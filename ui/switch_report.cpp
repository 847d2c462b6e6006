#include "switch_report.h"

#include "core/messages.h"
#include "platform/system_text_win.h"
#include "platform/text_win.h"
#include "resource.h"
#include "texts.h"

namespace quelvo {

std::wstring FailedSwitchMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    return Widen(FailedSwitchText(viewer, outcome, Narrow(SystemText(outcome.error)), TextLayout::Paragraphs));
}

std::wstring FailureDetails(const SwitchOutcome &outcome) {
    return Widen(FailureDetailsText(outcome, Narrow(SystemText(outcome.error)), TextLayout::Paragraphs));
}

std::wstring NoBackupQuestion(const ViewerRecord &viewer, const SwitchOutcome &outcome, const std::string &location) {
    const std::wstring where = outcome.backup == BackupResult::Unreadable
                                   ? FormatText(IDS_NO_BACKUP_UNREADABLE, {Widen(outcome.unreadablePath)})
                                   : FormatText(IDS_NO_BACKUP_UNWRITABLE, {Widen(location)});
    return FormatText(IDS_NO_BACKUP_QUESTION, {Widen(viewer.displayName), where, WindowsSays(outcome.backupError)});
}

std::wstring MovedAsideMessage(const SwitchOutcome &outcome) {
    return FormatText(IDS_MOVED_ASIDE, {Widen(outcome.movedAside)});
}

std::wstring LockRefusedMessage(const ViewerRecord &viewer, const LockResult &lock, std::uint32_t waitSeconds) {
    std::wstring reason;
    if (lock.state == LockState::Busy)
        reason = FormatText(IDS_LOCK_BUSY, {std::to_wstring(waitSeconds)});
    else
        reason = Widen(LockText(lock, waitSeconds));
    if (lock.state == LockState::Unavailable) reason += L"\n\n" + WindowsSays(lock.error);
    return FormatText(IDS_LOCK_REFUSED, {Widen(viewer.displayName), reason});
}

} // namespace quelvo
