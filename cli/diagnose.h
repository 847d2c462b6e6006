#pragma once
// The chain from the values to a picture as diagnose and status print it (verb_diagnose.cpp), for people and for
// scripts.

#include "arguments.h"
#include "console_win.h"
#include "core/chain.h"

#include <nlohmann/json.hpp>

#include <string>

namespace quelvo::cli {

// The text form: one line per link, then for a link that is not ok what was read, why and what to do.
std::string ChainText(const Chain &chain);
// The JSON form: format, viewer, ready, links (id, state, reason, advice, read).
nlohmann::ordered_json ChainJson(const Chain &chain);
// status's line naming the first broken link; empty when none is broken.
std::string FirstBrokenLine(const Chain &chain);
// The chain for the viewer on this PC, read through the Win32 registry and system.
Chain DiagnoseHere(const ViewerRecord &viewer, Account account);

} // namespace quelvo::cli
