#include "core/backup.h"
#include "e2e_fixture.h"
#include "platform/registry_win.h"

namespace quelvo::e2e {
namespace {

std::optional<std::string> FileBytes(const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes.substr(0, read);
}

// The program under test keeps its backup in a folder of the test's own, not in the prefix's ProgramData.
class BackupEndToEndTest : public EndToEndTest {
protected:
    void SetUp() override {
        EndToEndTest::SetUp();
        wchar_t buffer[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"ProgramData", buffer, MAX_PATH)) programData_ = buffer;
        GetTempPathW(MAX_PATH, buffer);
        folder_ = std::wstring(buffer) + L"quelvo-e2e-backup";
        Clean();
        CreateDirectoryW(folder_.c_str(), nullptr);
        SetEnvironmentVariableW(L"ProgramData", folder_.c_str());
    }
    void TearDown() override {
        EndToEndTest::TearDown();
        SetEnvironmentVariableW(L"ProgramData", programData_ ? programData_->c_str() : nullptr);
        Clean();
    }
    void Clean() {
        DeleteFileW(BackupFile().c_str());
        RemoveDirectoryW((folder_ + L"\\Quelvo").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring BackupFile() const { return folder_ + L"\\Quelvo\\associations-before-quelvo.reg"; }

private:
    std::wstring folder_;
    std::optional<std::wstring> programData_;
};

TEST_F(BackupEndToEndTest, FirstClickKeepsTheOldValuesOnceAndASecondLeavesThem) {
    Win32Registry registry;
    const std::string before = BackupFileBytes(Scope::Machine, registry);
    ASSERT_TRUE(program.Start());
    SwitchByButton(ViewerNamed("Flux"));
    EXPECT_EQ(FileBytes(BackupFile()), before);
    SwitchByButton(ViewerNamed("Octaga"));
    EXPECT_EQ(FileBytes(BackupFile()), before) << "the backup is never overwritten";
}

} // namespace
} // namespace quelvo::e2e
