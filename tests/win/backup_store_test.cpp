// The backup's folder and file on the real file system. Wine keeps no file security (a DACL reads back as the
// default, the owner as the account itself) and shows a link to a file as a plain file: the descriptor is checked as
// built, and the rules on owners, access lists and links in the core's own tests.
#include "core/backup.h"
#include "core/file_trust.h"
#include "file_bytes.h"
#include "platform/backup_store_win.h"
#include "platform/file_security_win.h"
#include "fakes/registry_fake.h"
#include "platform/text_win.h"

#include <gtest/gtest.h>

namespace quelvo::test {
namespace {

void WriteBytes(const std::wstring &path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::wstring> Names(const std::wstring &folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return names;
}

void DeleteAll(const std::wstring &folder) {
    for (const std::wstring &name : Names(folder)) {
        const std::wstring path = folder + L"\\" + name;
        if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) DeleteAll(path);
        else DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

class BackupStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t buffer[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, buffer);
        base = std::wstring(buffer) + L"quelvo-store-test";
        DeleteAll(base);
        CreateDirectoryW(base.c_str(), nullptr);
        FakeRegistry registry;
        backup = BackupFileBytes(TakeSnapshot(Scope::Machine, registry), Scope::Machine, BackupKind::BeforeQuelvo, "x");
    }
    void TearDown() override { DeleteAll(base); }
    std::wstring Folder() const { return base + L"\\Quelvo"; }
    std::wstring File() const { return Folder() + L"\\associations-before-quelvo.reg"; }

    std::wstring base;
    std::string backup;
};

TEST_F(BackupStoreTest, TheFolderIsMadeOwnedByAdministratorsWithAProtectedListThatTheRulesTrust) {
    const UniqueDescriptor descriptor = DescriptorFromSddl(std::wstring(kMachineFolderSddl));
    ASSERT_TRUE(descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor.get(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "nothing inherited from ProgramData, where users may create";
    const ObjectDescription object = DescribeDescriptor(descriptor.get());
    EXPECT_EQ(object.ownerSid, kAdministratorsSid);
    ASSERT_EQ(object.dacl.size(), 3u);
    EXPECT_EQ(object.dacl[0].sid, kSystemSid);
    EXPECT_EQ(object.dacl[0].mask, static_cast<std::uint32_t>(FILE_ALL_ACCESS));
    EXPECT_EQ(object.dacl[1].sid, kAdministratorsSid);
    EXPECT_EQ(object.dacl[1].mask, static_cast<std::uint32_t>(FILE_ALL_ACCESS));
    EXPECT_EQ(object.dacl[2].sid, "S-1-5-32-545");
    EXPECT_EQ(object.dacl[2].mask, static_cast<std::uint32_t>(FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));
    EXPECT_EQ(JudgeObject(object, "S-1-5-21-1-2-3-1001"), Distrust::None);

    const std::string user = "S-1-5-21-1-2-3-1001";
    const UniqueDescriptor own = DescriptorFromSddl(UserFolderSddl(user));
    ASSERT_TRUE(own);
    ObjectDescription mine = DescribeDescriptor(own.get());
    mine.ownerSid = user; // made by the user, who owns it
    EXPECT_EQ(JudgeObject(mine, user), Distrust::None);
    EXPECT_EQ(JudgeObject(mine, "S-1-5-21-1-2-3-1002"), Distrust::Owner) << "nobody else's backup is believed";
}

TEST_F(BackupStoreTest, KeepsOnceMovesAsideWhatItCannotTrustAndNeverWritesThroughANameItFinds) {
    FileBackupStore store(Scope::Machine, base);
    EXPECT_EQ(store.Check().state, BackupCheck::State::None);
    EXPECT_TRUE(Names(base).empty()) << "looking makes no folder";
    ASSERT_EQ(store.WriteNew(backup), kRegistryOk);
    EXPECT_EQ(store.Check().state, BackupCheck::State::Kept);
    EXPECT_EQ(store.WriteNew("other"), kRegistryFileExists);
    EXPECT_EQ(ReadFileBytes(File()), backup);
    EXPECT_EQ(Names(Folder()).size(), 1u) << "no temporary file left";

    // Another program's .reg at that name: put aside under a name that says so, never read as a backup.
    const std::string planted = Utf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\"
                                               "Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"x\"=\"evil.exe\"\r\n");
    WriteBytes(File(), planted);
    BackupCheck check = store.Check();
    EXPECT_EQ(check.state, BackupCheck::State::None);
    EXPECT_NE(check.movedAside.find("non-fiable"), std::string::npos) << check.movedAside;
    std::vector<std::wstring> names = Names(Folder());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].starts_with(L"associations-before-quelvo.reg.non-fiable-")) << Narrow(names[0]);
    EXPECT_EQ(ReadFileBytes(Folder() + L"\\" + names[0]), planted);
    DeleteFileW((Folder() + L"\\" + names[0]).c_str());

    // A folder at the file's name would stop every backup: it is put aside too.
    CreateDirectoryW(File().c_str(), nullptr);
    check = store.Check();
    EXPECT_EQ(check.state, BackupCheck::State::None);
    EXPECT_FALSE(check.movedAside.empty());
    EXPECT_EQ(GetFileAttributesW(File().c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteAll(Folder());

    // Whatever lies at the temporary name (a file, or a link to one outside) is neither opened nor replaced.
    store.temporaryName = [] { return std::wstring(L"~fixed.tmp"); };
    CreateDirectoryW(Folder().c_str(), nullptr);
    WriteBytes(Folder() + L"\\~fixed.tmp", "planted");
    EXPECT_NE(store.WriteNew(backup), kRegistryOk);
    EXPECT_NE(store.WriteNew(backup), kRegistryFileExists) << "not mistaken for a backup kept meanwhile";
    EXPECT_EQ(ReadFileBytes(Folder() + L"\\~fixed.tmp"), "planted");
    EXPECT_EQ(GetFileAttributesW(File().c_str()), INVALID_FILE_ATTRIBUTES);
}

// What export writes, or a file of one value, at the backup's name before the first switch: not a backup, put
// aside. A backup over 1 MiB (a value of 200 KB) is believed and read back whole.
TEST_F(BackupStoreTest, OnlyAQuelvoBackupIsBelievedAndALargeOneIsReadBackWhole) {
    FileBackupStore store(Scope::Machine, base);
    CreateDirectoryW(Folder().c_str(), nullptr);
    const std::string oneValue = Utf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\"
                                                "SOFTWARE\\Classes\\.wrl]\r\n@=\"Old.Wrl\"\r\n");
    for (const std::string &planted : {RegFileBytes(ExportEntries(Viewers()[5], Scope::Machine)), oneValue}) {
        WriteBytes(File(), planted);
        const BackupCheck check = store.Check();
        EXPECT_EQ(check.state, BackupCheck::State::None);
        EXPECT_NE(check.movedAside.find(DistrustText(Distrust::Content)), std::string::npos) << check.movedAside;
    }
    DeleteAll(Folder());
    FakeRegistry registry;
    registry.SetRaw(ManagedPlaces(Scope::Machine)[4], kRegBinary, std::string(200 * 1024, 'Z'));
    const std::string large =
        BackupFileBytes(TakeSnapshot(Scope::Machine, registry), Scope::Machine, BackupKind::BeforeQuelvo, "x");
    ASSERT_EQ(store.WriteNew(large), kRegistryOk);
    std::string bytes, why;
    EXPECT_EQ(FileBackupStore(Scope::Machine, base).Check().state, BackupCheck::State::Kept);
    ASSERT_TRUE(FileBackupStore(Scope::Machine, base).ReadTrusted(bytes, why)) << why;
    EXPECT_EQ(bytes, large);
}

} // namespace
} // namespace quelvo::test
