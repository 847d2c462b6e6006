#pragma once
// From the values to a 3D picture: what still stands between a viewer and the person running this program, as six
// links checked in order. Each link is ok, broken or unknown (the documentation does not let the program tell, or
// the settings could not be read), with what was read, why, and what to do.

#include "hiding.h"
#include "registry.h"
#include "system_facts.h"
#include "viewer_catalogue.h"

#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

enum class LinkId { Values, Hidden, Control, Blocked, Browser, Files };
enum class LinkState { Ok, Broken, Unknown };

struct ReadItem {
    std::string path;  // the key, then the value name after the last backslash
    std::string value; // as read: "\"text\"" unescaped, "dword:0x00000400", "absent", "illisible", ...
    bool operator==(const ReadItem &) const = default;
};

// Why a link breaks or stays undecided, and what to do (French).
struct Cause {
    std::string why;
    std::string todo;
};

struct Link {
    Link() = default;
    explicit Link(LinkId which) : id(which) {}

    LinkId id = LinkId::Values;
    LinkState state = LinkState::Ok;
    std::string reason; // French; empty when ok
    std::string advice; // French; what to do, empty when ok
    std::vector<ReadItem> read;

    // A cause that breaks the link (the first reason and advice are kept in front).
    void Break(std::string_view why, std::string_view todo);
    // A cause that leaves the link undecided, unless something already broke it.
    void Doubt(std::string_view why, std::string_view todo);
    void Break(const Cause &cause) { Break(cause.why, cause.todo); }
    void Doubt(const Cause &cause) { Doubt(cause.why, cause.todo); }
};

struct Chain {
    const ViewerRecord *viewer = nullptr;
    bool usersChecked = true; // false as SYSTEM or a service
    std::vector<Link> links;  // the six, in order

    bool Ready() const; // every link ok
    const Link *FirstBroken() const;
    // 0 ready; 1 a link broken, or one undecided for a user; 4 as SYSTEM or a service with nothing broken.
    int ExitCode() const;
};

// "values", "hidden", "control", "blocked", "browser", "files"
std::string_view LinkName(LinkId id);
// "ok", "broken", "unknown"
std::string_view LinkStateName(LinkState state);

struct ChainInputs {
    const ViewerRecord &viewer;
    RegistryReader &registry;
    SystemFacts &system;
    Account account;
};

Chain DiagnoseChain(const ChainInputs &in);

// One function per link, in the chain's order.
Link ValuesLink(const ChainInputs &in);
Link HiddenLink(const ChainInputs &in);
Link ControlLink(const ChainInputs &in);
Link BlockedLink(const ChainInputs &in);
Link BrowserLink(const ChainInputs &in);
Link FilesLink(const ChainInputs &in);

} // namespace quelvo
