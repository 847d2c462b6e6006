#include "switch_flow.h"

#include "core/switch.h"
#include "core/exit_codes.h"
#include "core/hiding.h"
#include "platform/account_win.h"
#include "platform/text_win.h"
#include "choice_dialog.h"
#include "resource.h"
#include "switch_report.h"
#include "texts.h"

#include <utility>

namespace quelvo {
namespace {

// The command line's codes for a switch that stopped before its first write.
bool WroteNothing(DWORD exitCode) {
    return exitCode == static_cast<DWORD>(ToInt(ExitCode::Usage)) ||
           exitCode == static_cast<DWORD>(ToInt(ExitCode::LockBusy)) ||
           exitCode == static_cast<DWORD>(ToInt(ExitCode::NoBackup));
}

} // namespace

void SwitchFlow::Click(const ViewerRecord &viewer) {
    // One report at a time: the tray pop-up and queued commands reach the window while a box is open.
    if (reportOpen_ || elevatedSwitch_.Waiting()) return;
    std::optional<SwitchOutcome> outcome = SwitchMachineLocked(viewer);
    if (!outcome) return;
    ReportMovedAside(*outcome);
    // No backup, no switch, unless the user says so; No is the default.
    if (outcome->StoppedForBackup()) {
        if (Report(NoBackupQuestion(viewer, *outcome, services_.machineBackup.Location()),
                   MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
        outcome = SwitchMachineLocked(viewer, true);
        if (!outcome) return;
    }
    if (outcome->Succeeded())
        PostFollowUp(&viewer);
    else
        HandleRefusedSwitch(viewer, *outcome);
}

// The machine's writes under the PC-wide lock, let go before any question is asked; nullopt when the lock kept
// the switch from being made (and that was said).
std::optional<SwitchOutcome> SwitchFlow::SwitchMachineLocked(const ViewerRecord &viewer, bool withoutBackup) {
    reportOpen_ = true; // the wait dispatches messages: no other click may start a switch meanwhile
    const LockResult lock = services_.switchLock.AcquirePumping(services_.lockWaitMilliseconds);
    reportOpen_ = false;
    if (!window_) return std::nullopt; // the program ended during the wait
    // Without administrator rights the writes are refused at the first, and what is offered after a refusal follows.
    if (!lock.Held() && !GoesOnWithoutLock(lock, services_.elevation.ReadRights().AlreadyAdministrator())) {
        Report(LockRefusedMessage(viewer, lock, services_.lockWaitMilliseconds / 1000), MB_OK | MB_ICONWARNING);
        return std::nullopt;
    }
    std::optional<SwitchOutcome> outcome;
    {
        LockHold hold(services_.switchLock, lock);
        outcome = Switch(viewer, Scope::Machine, withoutBackup);
    }
    if (lock.state == LockState::HeldAfterAbandon)
        Report(Widen(LockText(lock, services_.lockWaitMilliseconds / 1000)), MB_OK | MB_ICONWARNING);
    return outcome;
}

SwitchOutcome SwitchFlow::Switch(const ViewerRecord &viewer, Scope scope, bool withoutBackup) {
    const SwitchOutcome outcome =
        SwitchViewer(viewer,
                     {services_.registryWriter, services_.registryReader, services_.machineBackup, deferredNotice_,
                      scope, services_.userBackup, withoutBackup},
                     &display_);
    if (deferredNotice_.pending) {
        UpdateWindow(GetDlgItem(window_, IDC_TEXT1)); // the new name is seen before what waits
        PostFollowUp(nullptr);
    }
    return outcome;
}

// checkHiding: a machine switch that wrote every value, whose hiding keys the follow-up looks for.
void SwitchFlow::PostFollowUp(const ViewerRecord *checkHiding) {
    if (checkHiding) followUpViewer_ = checkHiding;
    if (followUpPosted_) return;
    followUpPosted_ = PostMessageW(window_, kSwitchFollowUp, 0, 0) != FALSE;
    if (!followUpPosted_) OnFollowUp(); // a full queue: done now rather than never
}

void SwitchFlow::OnFollowUp() {
    followUpPosted_ = false;
    FlushShellNotice();
    const ViewerRecord *viewer = std::exchange(followUpViewer_, nullptr);
    if (viewer && !reportOpen_ && !elevatedSwitch_.Waiting()) ReportWhatHides(*viewer);
}

void SwitchFlow::OnWindowDestroyed() {
    elevatedSwitch_.Cancel();
    FlushShellNotice();
    window_ = nullptr;
}

void SwitchFlow::FlushShellNotice() {
    if (std::exchange(deferredNotice_.pending, false)) services_.shell.AssociationsChanged();
}

void SwitchFlow::HandleRefusedSwitch(const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    const bool denied = outcome.error == kRegistryAccessDenied;
    const RefusalOffer offer = OfferAfterRefusal(outcome, denied ? services_.elevation.ReadRights() : Rights{},
                                                 denied && elevatedSwitch_.CommandLinePresent());
    if (offer == RefusalOffer::Report) {
        Report(FailedSwitchMessage(viewer, outcome), MB_OK | MB_ICONERROR);
        return;
    }
    if (offer == RefusalOffer::KeySecurity) {
        Report(KeySecurityMessage(viewer, outcome), MB_OK | MB_ICONERROR);
        return;
    }
    const int chosen = Ask(RefusalChoice(viewer, outcome, offer));
    if (chosen == kChoiceAsAdministrator)
        SwitchAsAdministrator(viewer);
    else if (chosen == kChoiceForMe && SwitchForMe(viewer))
        ReportPicture(viewer);
}

// In this process, with this user's own rights: never through the elevated command line, whose
// HKEY_CURRENT_USER may be another account's. No PC-wide lock: nothing of the machine's is written.
bool SwitchFlow::SwitchForMe(const ViewerRecord &viewer) {
    SwitchOutcome outcome = Switch(viewer, Scope::CurrentUser);
    ReportMovedAside(outcome);
    if (outcome.StoppedForBackup()) {
        if (Report(NoBackupQuestion(viewer, outcome, services_.userBackup ? services_.userBackup->Location() : ""),
                   MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return false;
        outcome = Switch(viewer, Scope::CurrentUser, true);
    }
    if (!outcome.Succeeded()) Report(FailedSwitchMessage(viewer, outcome), MB_OK | MB_ICONERROR);
    return outcome.Succeeded();
}

void SwitchFlow::ReportMovedAside(const SwitchOutcome &outcome) {
    if (!outcome.movedAside.empty()) Report(MovedAsideMessage(outcome), MB_OK | MB_ICONWARNING);
}

void SwitchFlow::SwitchAsAdministrator(const ViewerRecord &viewer, bool withoutBackup) {
    const DWORD error = elevatedSwitch_.Start(window_, kElevatedSwitchDone, viewer, withoutBackup);
    if (error == ERROR_SUCCESS) {
        elevatedViewer_ = &viewer;
        elevatedWithoutBackup_ = withoutBackup;
        return;
    }
    if (error == ERROR_CANCELLED)
        Report(ElevationDeclinedMessage(viewer), MB_OK | MB_ICONWARNING);
    else
        Report(ElevatedLaunchFailedMessage(viewer, error), MB_OK | MB_ICONERROR);
}

void SwitchFlow::OnElevatedSwitchDone() {
    if (!elevatedSwitch_.Waiting() || !elevatedViewer_) return;
    const ViewerRecord &viewer = *std::exchange(elevatedViewer_, nullptr);
    const DWORD exitCode = elevatedSwitch_.Finish();
    // The command line has written, all or part: the window shows what the registry now says.
    if (!WroteNothing(exitCode)) ShowDetectedViewer(services_.registryReader, display_);
    if (exitCode == static_cast<DWORD>(ToInt(ExitCode::Ok)))
        PostFollowUp(&viewer); // the command line told the shell; what hides is this user's, seen from here
    else if (exitCode == static_cast<DWORD>(ToInt(ExitCode::NoBackup)) && !elevatedWithoutBackup_) {
        // It wrote nothing for want of a backup: the same question, and on Oui a second run (a second consent).
        if (Report(ElevatedNoBackupQuestion(viewer), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES)
            SwitchAsAdministrator(viewer, true);
    } else
        Report(ElevatedSwitchFailedMessage(viewer, exitCode), MB_OK | MB_ICONERROR);
}

int SwitchFlow::Report(const std::wstring &text, UINT flags) {
    reportOpen_ = true;
    const int answer = MessageBoxW(window_, text.c_str(), LoadText(IDS_QUELVO).c_str(), flags);
    reportOpen_ = false;
    return answer;
}

int SwitchFlow::Ask(const Choice &choice) {
    reportOpen_ = true;
    const int answer = AskChoice(window_, choice);
    reportOpen_ = false;
    return answer;
}

std::optional<Link> SwitchFlow::NewPictureBlocker(const ViewerRecord &viewer) {
    std::optional<Link> blocker = PictureBlocker(viewer, services_.registryReader, services_.system);
    if (!blocker || !toldPictureCauses_.insert(blocker->reason).second) return std::nullopt;
    return blocker;
}

void SwitchFlow::ReportPicture(const ViewerRecord &viewer) {
    if (const std::optional<Link> blocker = NewPictureBlocker(viewer)) Ask(PictureChoice(viewer, *blocker));
}

// Once after the switch, and only when something hides the values just written or keeps the viewer from showing
// 3D content here (one message when both apply).
void SwitchFlow::ReportWhatHides(const ViewerRecord &viewer) {
    const UserHiders hiders = FindUserHiders();
    const std::optional<Link> blocker = NewPictureBlocker(viewer);
    if (hiders.Empty()) {
        if (blocker) Ask(PictureChoice(viewer, *blocker));
        return;
    }
    const DefaultsPage page = PageFor(services_.userDefaults.Version());
    Choice choice = HidingChoice(viewer, hiders, page);
    if (blocker) choice.content += L"\n\n" + PictureParagraph(viewer, *blocker);
    const int chosen = Ask(choice);
    if (chosen == kChoiceForMeToo) {
        SwitchForMe(viewer);
    } else if (chosen == kChoiceOpenDefaults) {
        if (const DWORD error = services_.userDefaults.Open(page); error != ERROR_SUCCESS)
            Report(DefaultsPageFailedMessage(page, error), MB_OK | MB_ICONERROR);
    } else if (chosen == kChoiceClearOpenWith) {
        for (const UserHiders::OpenWith &openWith : hiders.openWith)
            if (const DWORD error = services_.userDefaults.ClearChoice(openWith.extension); error != ERROR_SUCCESS) {
                Report(ClearChoiceFailedMessage(openWith.extension, error), MB_OK | MB_ICONERROR);
                break;
            }
        services_.shell.AssociationsChanged();
    }
}

// This user's own settings whose value differs from what the machine now holds: a key of the same value, such as
// one left by an earlier "Pour moi aussi" for this viewer, hides nothing that matters.
UserHiders SwitchFlow::FindUserHiders() {
    UserHiders hiders;
    if (CurrentAccount() != Account::User) return hiders; // HKEY_CURRENT_USER is no person's profile
    const HidingReport report = CheckHiding(services_.registryReader, Account::User);
    for (const PlaceVerdict *place : report.Hiding()) {
        if (place->Effective() == place->machine) continue;
        if (place->winner == Winner::UserKey)
            hiders.userKeys.push_back(place->userPath.substr(0, place->userPath.rfind('\\')));
        else if (place->winner == Winner::UserChoice)
            hiders.openWith.push_back({place->name, place->choice.text});
    }
    return hiders;
}

} // namespace quelvo
