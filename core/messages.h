#pragma once
// The core's French texts, which the window and the command line both say: a switch's outcome, a backup file's
// notes, the PC-wide lock's refusals (declared with the lock, in switch_lock.h), why a backup file is not trusted
// (declared in file_trust.h), and the system's own words for an error with its code.

#include "backup.h"
#include "switch.h"

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

} // namespace quelvo
