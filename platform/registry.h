#pragma once
// The registry as the core sees it: full text paths ("HKEY_CLASSES_ROOT\.wrl\"), string values, and the system's
// own error codes handed back so that the window can say what failed.

#include <cstdint>
#include <string>
#include <string_view>

namespace quelvo {

// Win32 error codes, kept as plain numbers so that the core builds without Windows headers.
using RegistryError = std::uint32_t;
inline constexpr RegistryError kRegistryOk = 0;
inline constexpr RegistryError kRegistryFileNotFound = 2;
inline constexpr RegistryError kRegistryAccessDenied = 5;
inline constexpr RegistryError kRegistryBadPath = 161;

enum class ReadStatus {
    Text,    // REG_SZ or REG_EXPAND_SZ, taken as stored
    NotText, // the value exists but holds another type
    Failed,  // missing key or value, or the read was refused; see error
};

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    std::string text; // UTF-8, without the terminating NUL
    RegistryError error = kRegistryOk;
    bool expandable = false; // REG_EXPAND_SZ: text, but not what a switch writes
};

class RegistryWriter {
public:
    virtual ~RegistryWriter() = default;
    // Creates missing keys on the path and stores value as REG_SZ.
    virtual RegistryError WriteString(std::string_view path, std::string_view value) = 0;
};

enum class KeyState {
    Present,
    Absent,
    Unknown, // the system could not say; see error
};

struct KeyResult {
    KeyState state = KeyState::Unknown;
    RegistryError error = kRegistryOk;
};

class RegistryReader {
public:
    virtual ~RegistryReader() = default;
    virtual ReadResult ReadValue(std::string_view path) = 0;
    // Whether the key that holds path's value exists, whatever values it holds: under the classes root a user's
    // key hides the machine's by existing, even empty.
    virtual KeyResult KeyExists(std::string_view path) = 0;
};

} // namespace quelvo
