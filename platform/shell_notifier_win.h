#pragma once

#include "core/shell_notifier.h"

namespace quelvo {

class Win32ShellNotifier : public ShellNotifier {
public:
    void AssociationsChanged() override;
};

} // namespace quelvo
