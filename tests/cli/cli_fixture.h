#pragma once
// Runs quelvo-cli.exe and reg.exe against the real registry of the test prefix, and puts back afterwards every
// place that a switch, an import or a planted per-user value can change.

#include "core/association.h"
#include "../win/file_bytes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quelvo::test {

struct ProcessResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out; // as written: UTF-8 text, or the bytes of a .reg file
    std::string err;
};

// The places a switch writes, each once.
std::vector<std::string> Places(Scope scope = Scope::Machine);

class CliTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // With outputWritable false, standard output is a handle that refuses writes (as a full disk would).
    ProcessResult RunCli(const std::wstring &arguments, bool outputWritable = true);
    // Each command line as its own process, all started at the same moment; their results in the same order.
    std::vector<ProcessResult> RunCliTogether(const std::vector<std::wstring> &arguments);
    DWORD RegImport(const std::wstring &file);
    std::wstring TempFile(const std::wstring &name) const { return folder_ + L"\\" + name; }
    std::wstring MachineBackupFile() const { return TempFile(L"Quelvo\\associations-before-quelvo.reg"); }

    // Text of each place, nullopt where the value is absent.
    std::map<std::string, std::optional<std::string>> ReadPlaces(Scope scope = Scope::Machine);
    void SetPlace(const std::string &path, const std::optional<std::string> &text);
    void FillPlaces(const std::string &prefix);

private:
    struct Saved {
        std::string path;
        bool keyExisted;
        LSTATUS status;
        DWORD type;
        std::vector<BYTE> data;
    };
    std::vector<Saved> saved_;
    std::wstring folder_;
    std::optional<std::wstring> programData_;
};

} // namespace quelvo::test
