#pragma once
// The chain from the values to a picture as diagnose and status read it (verb_diagnose.cpp), and its JSON form;
// its text form is in messages.h.

#include "arguments.h"
#include "console_win.h"
#include "core/chain.h"

#include <nlohmann/json.hpp>

#include <string>

namespace quelvo::cli {

// The JSON form: format, viewer, ready, links (id, state, reason, advice, read).
nlohmann::ordered_json ChainJson(const Chain &chain);
// The chain for the viewer on this PC, read through the Win32 registry and system.
Chain DiagnoseHere(const ViewerRecord &viewer, Account account);

} // namespace quelvo::cli
