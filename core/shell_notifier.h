#pragma once
// Tells the shell that file associations changed, so that Explorer drops what it has cached.

namespace quelvo {

class ShellNotifier {
public:
    virtual ~ShellNotifier() = default;
    virtual void AssociationsChanged() = 0;
};

} // namespace quelvo
