#pragma once
// Runs quelvo-cli.exe and reg.exe against the real registry of the test prefix, and puts back afterwards every
// place that a switch, an import or a planted per-user value can change.

#include "core/association.h"
#include "../win/file_bytes.h"
#include "../win/process_runner.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quelvo::test {

struct ProcessResult {
    Outcome exitCode; // equals a number only for a program that ended with that code
    std::string out; // text as UTF-8 (written in the OEM code page), or the bytes of a .reg or XML file as written
    std::string err;
};

void DeleteFolder(const std::wstring &folder);

// The places a switch writes, each once.
std::vector<std::string> Places(Scope scope = Scope::Machine);

class CliTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ProcessResult RunCli(const std::wstring &arguments);
    // Each command line as its own process, all started at the same moment; their results in the same order.
    std::vector<ProcessResult> RunCliTogether(const std::vector<std::wstring> &arguments);
    // With standard output going to out instead of a file of the fixture's.
    ProcessResult RunCliTo(const std::wstring &arguments, HANDLE out);
    Outcome RegImport(const std::wstring &file);
    std::wstring TempFile(const std::wstring &name) const { return folder_ + L"\\" + name; }
    // The real known folders of the test prefix; what the tests find there is put aside and back around each test.
    std::wstring MachineBackupFile() const { return machineFolder_ + L"\\associations-before-quelvo.reg"; }
    std::wstring UserBackupFile() const { return userFolder_ + L"\\associations-before-quelvo.reg"; }
    const std::wstring &MachineFolder() const { return machineFolder_; }

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
    std::wstring folder_, machineFolder_, userFolder_;
};

} // namespace quelvo::test
