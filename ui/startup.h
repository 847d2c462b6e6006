#pragma once

#include "main_window.h"

namespace quelvo {

// The session-wide name that tells a second start that the program already runs.
inline constexpr wchar_t kSingleInstanceMutex[] = L"Local\\Tarnix.Quelvo.SingleInstance";

int RunMessageLoop(MainWindow &window);

} // namespace quelvo
