#pragma once
// The registry as the core sees it: full text paths ("HKEY_CLASSES_ROOT\.wrl\"), string values, and the system's
// own error codes handed back so that the window can say what failed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

// Win32 error codes, kept as plain numbers so that the core builds without Windows headers.
using RegistryError = std::uint32_t;
inline constexpr RegistryError kRegistryOk = 0;
inline constexpr RegistryError kRegistryFileNotFound = 2;
inline constexpr RegistryError kRegistryAccessDenied = 5;
inline constexpr RegistryError kRegistryBadPath = 161;
inline constexpr RegistryError kRegistryNotSupported = 50;

// Registry value types as Windows numbers them (REG_SZ...), for the typed reads and writes.
inline constexpr std::uint32_t kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7;

// A value exactly as stored: its type and its bytes.
struct RawRead {
    RegistryError error = kRegistryOk; // kRegistryFileNotFound: no such value, or no such key (see keyExists)
    bool keyExists = false;
    std::uint32_t type = 0;
    std::string data;
};
inline RawRead RawFailure(RegistryError error, bool keyExists = false) {
    RawRead read;
    read.error = error;
    read.keyExists = keyExists;
    return read;
}

enum class ReadStatus {
    Text,    // REG_SZ or REG_EXPAND_SZ, taken as stored
    NotText, // the value exists but holds another type
    Failed,  // missing key or value, or the read was refused; see error
};

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    std::string text; // UTF-8, without the terminating NUL
    RegistryError error = kRegistryOk;
};

class RegistryWriter {
public:
    virtual ~RegistryWriter() = default;
    // Creates missing keys on the path and stores value as REG_SZ.
    virtual RegistryError WriteString(std::string_view path, std::string_view value) = 0;
    // Whether a write to path would be allowed, without writing: its key opened for setting values, or the nearest
    // existing parent opened for creating keys.
    virtual RegistryError ProbeWrite(std::string_view path) = 0;
    // Stores data with its type as it is (no terminator added).
    virtual RegistryError WriteRaw(std::string_view path, std::uint32_t type, std::string_view data) = 0;
    // Deletes the value; kRegistryOk when it was not there.
    virtual RegistryError DeleteValue(std::string_view path) = 0;
    // Deletes the key that holds path only if it has no value and no subkey; kRegistryOk when it was not there.
    virtual RegistryError DeleteKeyIfEmpty(std::string_view path) = 0;
    // Creates the key that holds path (and its parents) with no value in it; kRegistryOk when it exists.
    virtual RegistryError CreateKeyOf(std::string_view path) = 0;
    // Between the two, a writer may keep the keys its writes opened for the writes after them (WriteRun).
    virtual void BeginWriteRun() {}
    virtual void EndWriteRun() {}
};

// A run of writes that come back to the same keys: each key is opened once for the run, and closed when it ends.
class WriteRun {
public:
    explicit WriteRun(RegistryWriter &writer) : writer_(writer) { writer_.BeginWriteRun(); }
    ~WriteRun() { writer_.EndWriteRun(); }
    WriteRun(const WriteRun &) = delete;
    WriteRun &operator=(const WriteRun &) = delete;

private:
    RegistryWriter &writer_;
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

// What a key holds, one level down: its value names ("" for the default value) and its subkeys' names.
struct KeyListing {
    RegistryError error = kRegistryOk; // kRegistryFileNotFound: no such key
    std::vector<std::string> values;
    std::vector<std::string> subkeys;
};
inline KeyListing ListFailure(RegistryError error) {
    KeyListing listing;
    listing.error = error;
    return listing;
}

class RegistryReader {
public:
    virtual ~RegistryReader() = default;
    virtual ReadResult ReadValue(std::string_view path) = 0;
    // Whether the key that holds path's value exists, whatever values it holds: under the classes root a user's
    // key hides the machine's by existing, even empty.
    virtual KeyResult KeyExists(std::string_view path) = 0;
    virtual RawRead ReadRaw(std::string_view path) = 0;
    // The names in the key that holds path's value.
    virtual KeyListing ListKey(std::string_view path) = 0;
    // The same reads in the 32-bit registry view, where a 32-bit browser process reads (KEY_WOW64_32KEY): WOW64
    // keeps some keys apart there (Microsoft, "Registry Keys Affected by WOW64"; see wow64.h).
    virtual RawRead ReadRaw32(std::string_view path) = 0;
    virtual KeyResult KeyExists32(std::string_view path) = 0;
};

} // namespace quelvo
