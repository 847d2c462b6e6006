#pragma once
// The 20 places a switch writes, as they stand now, in a form that puts them back.

#include "association.h"
#include "reg_file.h"

namespace quelvo {

// Text values are set again, absent ones deleted; a value that is not text or cannot be read is named in a
// comment and left out, since putting back what was not read would destroy it.
std::vector<RegFileEntry> BackupEntries(Scope scope, RegistryReader &registry);
std::string BackupFileBytes(Scope scope, RegistryReader &registry);

// A viewer's values as a file that applies them: each place once with the value the switch leaves there, in the
// order of the switch's first write to it.
std::vector<RegFileEntry> ExportEntries(const ViewerRecord &viewer, Scope scope);

} // namespace quelvo
