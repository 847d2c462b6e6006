#pragma once
// An in-memory registry that records every write in order and can refuse chosen paths, so that the core's
// behaviour can be checked where there is no Windows registry.

#include "registry.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quelvo {

class FakeRegistry : public RegistryWriter, public RegistryReader {
public:
    struct Write {
        std::string path;
        std::string value;
        bool operator==(const Write &) const = default;
    };

    RegistryError WriteString(std::string_view path, std::string_view value) override;
    ReadResult ReadValue(std::string_view path) override;
    RegistryError ProbeWrite(std::string_view path) override;
    RegistryError WriteRaw(std::string_view path, std::uint32_t type, std::string_view data) override;
    RegistryError DeleteValue(std::string_view path) override;
    RegistryError DeleteKeyIfEmpty(std::string_view path) override;
    RawRead ReadRaw(std::string_view path) override;

    void SetText(std::string_view path, std::string_view value);
    // A value of another type than text (a DWORD, binary data...).
    void SetNonText(std::string_view path);
    void SetRaw(std::string_view path, std::uint32_t type, std::string_view data);
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
    RegistryError Refusal(std::string_view path) const;
    void AddKeys(std::string_view path);
    std::map<std::string, Value, std::less<>> values_;
    std::set<std::string, std::less<>> keys_; // every key that exists, by its path up to the last backslash
    std::map<std::string, RegistryError, std::less<>> refusedWrites_;
    std::map<std::string, RegistryError, std::less<>> refusedReads_;
    std::vector<Write> writes_;
};

} // namespace quelvo
