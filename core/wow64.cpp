#include "wow64.h"

#include <array>
#include <cctype>

namespace quelvo {
namespace {

constexpr std::string_view kMachineSoftware = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";
constexpr std::string_view kMachineClasses = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
constexpr std::string_view kUserClasses = "HKEY_CURRENT_USER\\Software\\Classes\\";
constexpr std::string_view kNode = "Wow6432Node\\";
// Below the classes root, the keys that the redirector keeps apart; the rest of it is shared.
constexpr std::array<std::string_view, 5> kRedirectedClasses = {"CLSID", "DirectShow", "Interface", "Media Type",
                                                                "MediaFoundation"};

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool RedirectedClass(std::string_view below) {
    const std::string_view first = below.substr(0, below.find('\\'));
    for (std::string_view name : kRedirectedClasses)
        if (SameText(first, name)) return true;
    return false;
}

std::string Insert(std::string_view path, std::size_t at) {
    return std::string(path.substr(0, at)).append(kNode).append(path.substr(at));
}

} // namespace

std::string Wow64StoredPath(std::string_view path) {
    for (std::string_view classes : {kMachineClasses, kUserClasses})
        if (StartsWith(path, classes)) {
            const std::string_view below = path.substr(classes.size());
            return RedirectedClass(below) && !StartsWith(below, kNode) ? Insert(path, classes.size())
                                                                       : std::string(path);
        }
    if (StartsWith(path, kMachineSoftware) && !StartsWith(path.substr(kMachineSoftware.size()), kNode))
        return Insert(path, kMachineSoftware.size());
    return std::string(path);
}

} // namespace quelvo
