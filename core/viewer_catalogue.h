#pragma once
// The viewers the program can make the default handler of 3D content. Their order is the buttons' order, and the
// window derives its IDs, arrays and counts from it.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace quelvo {

struct ContentType {
    std::string_view name;
    bool vrml; // routed to the viewer's VRML control; the others to its X3D control
};

// The eleven content types, in the standard write order.
inline constexpr std::array<ContentType, 11> kContentTypes = {{
    {"model/vrml", true},
    {"model/x3d", false},
    {"model/fx3d", false},
    {"model/x3d+xml", false},
    {"model/x3d+vrml", true},
    {"model/x3d-vrml", true},
    {"x-world/x-vrml", true},
    {"x-world/x-x3d", false},
    {"x-world/x-fx3d", false},
    {"x-world/x-x3d+xml", false},
    {"x-world/x-x3d-vrml", true},
}};

// In write order.
inline constexpr std::array<std::string_view, 9> kExtensions = {".wrl",  ".wrl.gz",  ".wrz",   ".x3d", ".x3d.gz",
                                                                ".x3dv", ".x3dv.gz", ".x3dvz", ".x3dz"};

// Whether Windows' shell ever looks the extension up: it takes a file's extension from its name's last dot on
// (Microsoft, "PathFindExtensionW"), so "a.wrl.gz" is a ".gz" file to it, and no default-associations entry or
// "Ouvrir avec" choice for ".wrl.gz" ever applies. Browsers and the viewers still read these keys.
constexpr bool ShellLooksUp(std::string_view extension) {
    return extension.rfind('.') == 0;
}

// A subset of kExtensions: bit i stands for kExtensions[i].
class ExtensionSet {
public:
    constexpr ExtensionSet() = default;
    constexpr ExtensionSet(std::initializer_list<std::string_view> names) {
        for (std::string_view name : names)
            bits_ |= BitOf(name);
    }
    static constexpr ExtensionSet All() {
        ExtensionSet set;
        set.bits_ = (1u << kExtensions.size()) - 1;
        return set;
    }
    constexpr bool Contains(std::string_view extension) const { return (bits_ & BitOf(extension)) != 0; }
    constexpr bool operator==(const ExtensionSet &) const = default;

private:
    static constexpr std::uint16_t BitOf(std::string_view name) {
        for (std::size_t i = 0; i < kExtensions.size(); ++i)
            if (kExtensions[i] == name) return static_cast<std::uint16_t>(1u << i);
        // Reached only for a name outside the list; in a constant table that stops the build.
        throw "unknown extension";
    }
    std::uint16_t bits_ = 0;
};

enum class ContentTypeOrder { Standard, Paired };

struct ViewerRecord {
    std::string_view displayName;
    std::string_view button;
    std::string_view menuItem;
    std::string_view vrmlClsid;
    std::string_view x3dClsid;
    std::string_view extensionProgId;
    ExtensionSet machineExtensions;
    ExtensionSet classesRootExtensions;
    std::string_view detectionValue;
    ContentTypeOrder contentTypeOrder;
};

inline constexpr std::size_t kViewerCount = 7;

// Rows in the order of the button numbers; kViewerCount of them.
std::span<const ViewerRecord> Viewers();
// The viewer's place in Viewers(); viewer must be one of its rows.
std::size_t ViewerIndex(const ViewerRecord &viewer);

// Exact, case-sensitive match of the default value of HKEY_CLASSES_ROOT\.wrl; nullptr when no viewer owns it.
const ViewerRecord *FindViewerByDetectionValue(std::string_view value);

} // namespace quelvo
