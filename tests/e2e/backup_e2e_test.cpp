#include "../win/file_bytes.h"
#include "core/backup.h"
#include "e2e_fixture.h"
#include "platform/registry_win.h"

namespace quelvo::e2e {
namespace {

TEST_F(EndToEndTest, FirstClickKeepsTheOldValuesOnceAndASecondLeavesThem) {
    // The program keeps its backup in a folder of the test's own, not in the prefix's ProgramData.
    wchar_t buffer[MAX_PATH] = {};
    const DWORD hadOne = GetEnvironmentVariableW(L"ProgramData", buffer, MAX_PATH);
    const std::wstring programData = buffer;
    GetTempPathW(MAX_PATH, buffer);
    const std::wstring folder = std::wstring(buffer) + L"quelvo-e2e-backup";
    const std::wstring backup = folder + L"\\Quelvo\\associations-before-quelvo.reg";
    DeleteFileW(backup.c_str()); // left by an earlier run that stopped half-way
    CreateDirectoryW(folder.c_str(), nullptr);
    SetEnvironmentVariableW(L"ProgramData", folder.c_str());

    Win32Registry registry;
    const std::string before = BackupFileBytes(Scope::Machine, registry);
    ASSERT_TRUE(program.Start());
    SwitchByButton(ViewerNamed("Flux"));
    EXPECT_EQ(test::ReadFileBytes(backup), before);
    SwitchByButton(ViewerNamed("Octaga"));
    EXPECT_EQ(test::ReadFileBytes(backup), before) << "the backup is never overwritten";

    SetEnvironmentVariableW(L"ProgramData", hadOne ? programData.c_str() : nullptr);
    DeleteFileW(backup.c_str());
    RemoveDirectoryW((folder + L"\\Quelvo").c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
} // namespace quelvo::e2e
