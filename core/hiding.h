#pragma once
// What this user gets for each content type and extension, and why: the machine's value, a key of the user's own
// under HKEY_CURRENT_USER\Software\Classes (which hides the machine's key by existing, even empty), or an
// "Ouvrir avec" choice (UserChoice), which the shell takes over both for a double-click.

#include "registry.h"

#include <array>
#include <string>
#include <vector>

namespace quelvo {

enum class ValueState { Text, Absent, NotText, Unreadable };

struct SeenValue {
    ValueState state = ValueState::Absent;
    std::string text; // when state is Text
    bool operator==(const SeenValue &) const = default;
};

SeenValue ReadSeen(RegistryReader &registry, const std::string &path);

enum class Winner {
    Machine,    // nothing of the user's own: the machine's value
    UserKey,    // the user's own key of that name
    UserChoice, // the user's "Ouvrir avec" choice (extensions only)
    Unknown,    // the user's settings could not be read, or were not checked (see HidingReport::usersChecked)
};

struct PlaceVerdict {
    enum class Kind { ContentType, Extension };
    Kind kind = Kind::Extension;
    std::string name;        // "model/vrml", ".wrl"
    std::string machinePath; // the machine's value that a switch writes
    SeenValue machine;
    std::string userPath; // the same value in the user's own key
    KeyState userKey = KeyState::Absent;
    SeenValue user;         // read only when the user's key exists
    std::string choicePath; // ...\FileExts\<ext>\UserChoice\ProgId; empty for content types and for the
                            // extensions the shell never looks up (ShellLooksUp)
    SeenValue choice;
    Winner winner = Winner::Machine;

    // What this user gets: the winner's value (the machine's when unknown).
    const SeenValue &Effective() const;
    bool Hidden() const { return winner != Winner::Machine; }
    // Hidden, and this user gets something else than the machine's value (a user key holding the same value
    // still wins, but gives the same viewer).
    bool Differs() const { return Hidden() && (winner == Winner::Unknown || Effective() != machine); }
};

struct HidingReport {
    // False when run as SYSTEM or a service: HKEY_CURRENT_USER is then the system's own profile, no user's.
    bool usersChecked = true;
    std::vector<PlaceVerdict> places; // the eleven content types in the standard order, then the nine extensions
    std::vector<const PlaceVerdict *> Hiding() const; // the places where the machine's value does not win
};

enum class Account { User, SystemOrService };

// Reads the machine's value of each place and, for a user account, what of the user's own wins over it.
HidingReport CheckHiding(RegistryReader &registry, Account account);

// The user's "Ouvrir avec" choice of an extension.
std::string UserChoicePath(std::string_view extension);
// The same choice as newer builds of Windows 11 keep it, read before UserChoice there. Microsoft documents only the
// key: the ProgId is seen both as a value of it and as the value of a subkey of that name, so both are read, the
// subkey's first.
std::array<std::string, 2> UserChoiceLatestPaths(std::string_view extension);

} // namespace quelvo
