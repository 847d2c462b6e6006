#pragma once
// An in-memory registry that records every write in order and can refuse chosen paths, so that the core's
// behaviour can be checked where there is no Windows registry.
//
// HKEY_CLASSES_ROOT is a view, as on Windows for the interactive user: HKEY_CURRENT_USER\Software\Classes merged
// over HKEY_LOCAL_MACHINE\SOFTWARE\Classes. A user's immediate subkey (and, one level down, a user's key under
// MIME\Database\Content Type) hides the machine's key of that name whole, values and subkeys, even when it holds
// nothing. A value written through the view goes to the user's key where that very key exists, else to the
// machine's. Wine merges nothing, so only this fake shows what a user of a real PC gets.

#include "core/registry.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quelvo {

class FakeRegistry : public RegistryWriter, public RegistryReader {
public:
    struct Write {
        std::string path; // as the caller named it
        std::string value;
        bool operator==(const Write &) const = default;
    };

    RegistryError WriteString(std::string_view path, std::string_view value) override;
    ReadResult ReadValue(std::string_view path) override;
    KeyResult KeyExists(std::string_view path) override;
    RegistryError ProbeWrite(std::string_view path) override;
    RegistryError WriteRaw(std::string_view path, std::uint32_t type, std::string_view data) override;
    RegistryError DeleteValue(std::string_view path) override;
    RegistryError DeleteKeyIfEmpty(std::string_view path) override;
    RawRead ReadRaw(std::string_view path) override;
    RegistryError CreateKeyOf(std::string_view path) override;
    KeyListing ListKey(std::string_view path) override;
    // The 32-bit view reads where WOW64 stores it (Wow64StoredPath): set such values at that path.
    RawRead ReadRaw32(std::string_view path) override;
    KeyResult KeyExists32(std::string_view path) override;

    // The setters and TextAt take the classes root like the calls above do.
    void SetText(std::string_view path, std::string_view value);
    // A value of another type than text (a DWORD, binary data...).
    void SetNonText(std::string_view path);
    void SetRaw(std::string_view path, std::uint32_t type, std::string_view data);
    // The key that holds path's value, with no value in it.
    void CreateKey(std::string_view path);
    // The next writes to path fail with error until AllowWrites.
    void RefuseWrites(std::string_view path, RegistryError error);
    void AllowWrites(std::string_view path);
    // Reads of path fail with error although a value may be there.
    void RefuseReads(std::string_view path, RegistryError error);

    // Writes of every kind (WriteString, WriteRaw, DeleteValue), the raw data or "-" for a deletion.
    const std::vector<Write> &Writes() const { return writes_; }
    std::optional<std::string> TextAt(std::string_view path) const;
    std::optional<RawRead> RawAt(std::string_view path) const;
    bool HoldsKey(std::string_view path) const; // the key of path exists

private:
    struct Value {
        std::uint32_t type = kRegSz;
        std::string data;
    };
    // Where a path under the classes root is stored: HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE. Other paths as given.
    std::string ForReading(std::string_view path) const;
    std::string ForWriting(std::string_view path) const;
    RegistryError Refusal(std::string_view path) const;
    bool HasKey(std::string_view key) const;

    std::map<std::string, Value, std::less<>> values_;
    std::set<std::string, std::less<>> keys_; // "ROOT\key" of every key that exists, parents included
    std::map<std::string, RegistryError, std::less<>> refusedWrites_;
    std::map<std::string, RegistryError, std::less<>> refusedReads_;
    std::vector<Write> writes_;
};

} // namespace quelvo
