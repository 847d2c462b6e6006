#pragma once
// One machine switch at a time on the PC: every process that writes the machine's values (the window, use,
// restore) holds this lock around its writes, so two switches started together cannot leave a mix of two
// viewers. Per-user switches take no lock. The caller holds it (LockHold) around the switch; the switch itself
// knows nothing of it.

#include "registry.h"

#include <cstdint>
#include <string>

namespace quelvo {

enum class LockState {
    Held,
    HeldAfterAbandon, // its last holder ended without letting go: held now, but that switch may be half done
    Busy,             // another switch held it for the whole wait
    ForeignOwner,     // an object of that name exists and Administrators do not own it: anyone could hold it
    Unavailable,      // it could not be created or opened; see error
};

struct LockResult {
    LockState state = LockState::Unavailable;
    RegistryError error = kRegistryOk; // the system's code, for Unavailable
    bool Held() const { return state == LockState::Held || state == LockState::HeldAfterAbandon; }
};

class SwitchLock {
public:
    virtual ~SwitchLock() = default;
    virtual LockResult Acquire(std::uint32_t waitMilliseconds) = 0;
    // Only after an acquire that held it, on the same thread.
    virtual void Release() = 0;
};

inline constexpr std::uint32_t kDefaultLockWaitSeconds = 10;

// Holds the lock from construction to destruction when the acquire held it.
class LockHold {
public:
    LockHold(SwitchLock &lock, std::uint32_t waitMilliseconds) : lock_(lock), result_(lock.Acquire(waitMilliseconds)) {}
    LockHold(SwitchLock &lock, LockResult acquired) : lock_(lock), result_(acquired) {}
    ~LockHold() {
        if (result_.Held()) lock_.Release();
    }
    LockHold(const LockHold &) = delete;
    LockHold &operator=(const LockHold &) = delete;
    const LockResult &Result() const { return result_; }

private:
    SwitchLock &lock_;
    LockResult result_;
};

// Without administrator rights the lock cannot be created or opened (its owner, Administrators, is not in the
// token), and the machine's values cannot be written either: such a switch goes on without it, to find its values
// already in place or be refused at its first write, never writing without the lock what rights would allow.
constexpr bool GoesOnWithoutLock(const LockResult &result, bool alreadyAdministrator) {
    return result.state == LockState::Unavailable && !alreadyAdministrator;
}

// French: why the switch was not made (Busy, ForeignOwner, Unavailable), or the warning after an abandoned
// hold; empty for Held. The system's own text for an Unavailable error is the caller's to add. With the core's
// other texts, in messages.cpp.
std::string LockText(const LockResult &result, std::uint32_t waitSeconds);

} // namespace quelvo
