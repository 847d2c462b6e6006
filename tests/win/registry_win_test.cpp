#include "platform/registry_win.h"
#include "core/wow64.h"

#include "registry_fixture.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

using namespace test;

// Every key these tests touch lies below one of these two, which they create and remove.
const std::wstring kScratch = L"Software\\Quelvo Tests";
const std::string kScratchPath = "HKEY_CURRENT_USER\\Software\\Quelvo Tests\\";
const std::wstring kMachineScratch = L"SOFTWARE\\Quelvo Tests";

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A test that stopped halfway may have left a key locked; it must open again to be removed.
        SetKeySecurity(HKEY_CURRENT_USER, kScratch + L"\\locked", kAllowAll);
        DeleteTree(HKEY_CURRENT_USER, kScratch);
        DeleteTree(HKEY_LOCAL_MACHINE, kMachineScratch);
    }
    void TearDown() override { SetUp(); }
    Win32Registry registry;
    HKEY created_ = nullptr;
};

TEST_F(Win32RegistryTest, WriterCreatesMissingKeysWithASlashInTheirName) {
    const std::string path = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Quelvo Tests\\Content Type\\model/quelvo-test\\CLSID";
    ASSERT_EQ(registry.WriteString(path, "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}"), kRegistryOk);

    const RawValue stored =
        GetRawValue(HKEY_LOCAL_MACHINE, kMachineScratch + L"\\Content Type\\model/quelvo-test", L"CLSID");
    ASSERT_EQ(stored.status, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.Text(), std::wstring(L"{4B6E3013-6E45-11D0-9309-0020AFE05CC8}") + L'\0');
    HKEY split = nullptr;
    EXPECT_EQ(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kMachineScratch + L"\\Content Type\\model").c_str(), 0, KEY_READ, &split),
        ERROR_FILE_NOT_FOUND)
        << "the slash must not split the key name";
}

TEST_F(Win32RegistryTest, WriterStoresDefaultValuesAndTheEmptyStringAsRegSz) {
    ASSERT_EQ(registry.WriteString(kScratchPath + ".wrl\\", "VRML.World"), kRegistryOk);
    ASSERT_EQ(registry.WriteString(kScratchPath + ".wrz\\", ""), kRegistryOk);
    ASSERT_EQ(registry.WriteString(kScratchPath + ".wrz\\", ""), kRegistryOk) << "writing twice is harmless";

    const RawValue progId = GetRawValue(HKEY_CURRENT_USER, kScratch + L"\\.wrl", L"");
    EXPECT_EQ(progId.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(progId.Text(), std::wstring(L"VRML.World") + L'\0');
    const RawValue empty = GetRawValue(HKEY_CURRENT_USER, kScratch + L"\\.wrz", L"");
    ASSERT_EQ(empty.status, ERROR_SUCCESS);
    EXPECT_EQ(empty.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(empty.data.size(), sizeof(wchar_t)) << "only the terminator";
}

TEST_F(Win32RegistryTest, WriterReportsARefusedWriteWithTheSystemCode) {
    ASSERT_EQ(registry.WriteString(kScratchPath + "locked\\", "before"), kRegistryOk);
    ASSERT_TRUE(SetKeySecurity(HKEY_CURRENT_USER, kScratch + L"\\locked", kDenyWrites));
    EXPECT_EQ(registry.WriteString(kScratchPath + "locked\\", "after"), kRegistryAccessDenied);
    EXPECT_EQ(registry.ReadValue(kScratchPath + "locked\\").text, "before");
    ASSERT_TRUE(SetKeySecurity(HKEY_CURRENT_USER, kScratch + L"\\locked", kAllowAll));
    EXPECT_EQ(registry.WriteString(kScratchPath + "locked\\", "after"), kRegistryOk);
    EXPECT_EQ(registry.WriteString("HKCR\\.wrl\\", "x"), kRegistryBadPath);
}

// A switch writes some places twice, and a run opens each key once for all of them: a key another program deletes
// meanwhile is made again, as a write without a run would, and the run lets every key go when it ends.
TEST_F(Win32RegistryTest, ARunWritesThroughTheKeysItHoldsAndMakesADeletedOneAgain) {
    const std::wstring wrl = kScratch + L"\\.wrl";
    {
        const WriteRun run(registry);
        ASSERT_EQ(registry.WriteString(kScratchPath + ".wrl\\", "first"), kRegistryOk);
        ASSERT_EQ(registry.WriteString(kScratchPath + ".WRL\\Content Type", "model/vrml"), kRegistryOk);
        EXPECT_EQ(GetRawValue(HKEY_CURRENT_USER, wrl, L"Content Type").Text(), std::wstring(L"model/vrml") + L'\0');
        ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, wrl.c_str()), ERROR_SUCCESS);
        EXPECT_EQ(registry.WriteString(kScratchPath + ".wrl\\", "again"), kRegistryOk);
        EXPECT_EQ(GetRawValue(HKEY_CURRENT_USER, wrl, L"").Text(), std::wstring(L"again") + L'\0');
    }
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, wrl.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(registry.WriteString(kScratchPath + ".wrl\\", "after"), kRegistryOk);
    EXPECT_EQ(GetRawValue(HKEY_CURRENT_USER, wrl, L"").Text(), std::wstring(L"after") + L'\0');
}

TEST_F(Win32RegistryTest, WriterReportsAKeyThatRefusesSubKeysWithTheSystemCode) {
    // A volatile key takes no lasting sub-key. (Wine does not check a parent's right to create sub-keys, so a
    // key's security cannot refuse them there.)
    HKEY volatileKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (kScratch + L"\\volatile").c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_WRITE, nullptr, &volatileKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileKey);
    EXPECT_EQ(registry.WriteString(kScratchPath + "volatile\\child\\", "x"),
              static_cast<RegistryError>(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_EQ(GetRawValue(HKEY_CURRENT_USER, kScratch + L"\\volatile\\child", L"").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry.WriteString(kScratchPath + "volatile\\", "x"), kRegistryOk) << "its own values can be set";
}

TEST_F(Win32RegistryTest, ReaderFailsOnAMissingKeyOrValue) {
    const ReadResult missingKey = registry.ReadValue(kScratchPath + "no such key\\");
    EXPECT_EQ(missingKey.status, ReadStatus::Failed);
    EXPECT_EQ(missingKey.error, kRegistryFileNotFound);
    SetStringValue(HKEY_CURRENT_USER, kScratch + L"\\key", L"named", L"x");
    const ReadResult noDefault = registry.ReadValue(kScratchPath + "key\\");
    EXPECT_EQ(noDefault.status, ReadStatus::Failed);
    EXPECT_EQ(noDefault.error, kRegistryFileNotFound);
    const ReadResult noNamed = registry.ReadValue(kScratchPath + "key\\other");
    EXPECT_EQ(noNamed.status, ReadStatus::Failed);
    EXPECT_EQ(noNamed.error, kRegistryFileNotFound);
}

TEST_F(Win32RegistryTest, ReaderReportsARefusedReadAndAMalformedPathWithTheirCodes) {
    SetStringValue(HKEY_CURRENT_USER, kScratch + L"\\locked", L"", L"VRML.World");
    ASSERT_TRUE(SetKeySecurity(HKEY_CURRENT_USER, kScratch + L"\\locked", kDenyReads));
    const ReadResult refused = registry.ReadValue(kScratchPath + "locked\\");
    EXPECT_EQ(refused.status, ReadStatus::Failed);
    EXPECT_EQ(refused.error, kRegistryAccessDenied);
    EXPECT_EQ(refused.text, "");
    ASSERT_TRUE(SetKeySecurity(HKEY_CURRENT_USER, kScratch + L"\\locked", kAllowAll));
    EXPECT_EQ(registry.ReadValue(kScratchPath + "locked\\").text, "VRML.World");

    for (const char *malformed : {"HKCR\\.wrl\\", "HKEY_CLASSES_ROOT\\", ""}) {
        SCOPED_TRACE(malformed);
        const ReadResult read = registry.ReadValue(malformed);
        EXPECT_EQ(read.status, ReadStatus::Failed);
        EXPECT_EQ(read.error, kRegistryBadPath);
    }
}

TEST_F(Win32RegistryTest, ReaderReturnsTheExactTextOfAnyLength) {
    SetStringValue(HKEY_CURRENT_USER, kScratch + L"\\exact", L"", L" VRML.World\t");
    EXPECT_EQ(registry.ReadValue(kScratchPath + "exact\\").text, " VRML.World\t");

    SetStringValue(HKEY_CURRENT_USER, kScratch + L"\\accents", L"", L"Paramétres \x263A");
    EXPECT_EQ(registry.ReadValue(kScratchPath + "accents\\").text, "Paramétres \xE2\x98\xBA");

    std::wstring huge(100000, L'x');
    huge[99999] = L'y';
    SetStringValue(HKEY_CURRENT_USER, kScratch + L"\\huge", L"", huge);
    const ReadResult read = registry.ReadValue(kScratchPath + "huge\\");
    EXPECT_EQ(read.status, ReadStatus::Text);
    ASSERT_EQ(read.text.size(), 100000u);
    EXPECT_EQ(read.text.back(), 'y');

    const wchar_t unterminated[] = {L'X', L'3', L'D'};
    SetRawValue(HKEY_CURRENT_USER, kScratch + L"\\unterminated", L"", REG_SZ, unterminated, sizeof unterminated);
    EXPECT_EQ(registry.ReadValue(kScratchPath + "unterminated\\").text, "X3D");
}

TEST_F(Win32RegistryTest, ReaderTakesExpandableStringsAsStoredAndOtherTypesAsNotText) {
    SetStringValue(HKEY_CURRENT_USER, kScratch + L"\\expand", L"", L"%SystemRoot%\\VRML.World", REG_EXPAND_SZ);
    const ReadResult expandable = registry.ReadValue(kScratchPath + "expand\\");
    EXPECT_EQ(expandable.status, ReadStatus::Text);
    EXPECT_EQ(expandable.text, "%SystemRoot%\\VRML.World");

    const DWORD number = 42;
    SetRawValue(HKEY_CURRENT_USER, kScratch + L"\\dword", L"", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(registry.ReadValue(kScratchPath + "dword\\").status, ReadStatus::NotText);
    const BYTE bytes[] = {1, 2, 3};
    SetRawValue(HKEY_CURRENT_USER, kScratch + L"\\binary", L"", REG_BINARY, bytes, sizeof bytes);
    EXPECT_EQ(registry.ReadValue(kScratchPath + "binary\\").status, ReadStatus::NotText);
    const wchar_t multi[] = L"VRML.World\0X3D.World\0";
    SetRawValue(HKEY_CURRENT_USER, kScratch + L"\\multi", L"", REG_MULTI_SZ, multi, sizeof multi);
    EXPECT_EQ(registry.ReadValue(kScratchPath + "multi\\").status, ReadStatus::NotText);
}

TEST_F(Win32RegistryTest, KeyExistsWithoutAnyValueAndARefusedKeyStillExists) {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (kScratch + L"\\empty").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &created_, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created_);
    EXPECT_EQ(registry.KeyExists(kScratchPath + "empty\\").state, KeyState::Present) << "no value in it";
    EXPECT_EQ(registry.KeyExists(kScratchPath + "empty\\any value").state, KeyState::Present);
    const KeyResult missing = registry.KeyExists(kScratchPath + "missing\\");
    EXPECT_EQ(missing.state, KeyState::Absent);
    EXPECT_EQ(missing.error, kRegistryFileNotFound);
    SetStringValue(HKEY_CURRENT_USER, kScratch + L"\\locked", L"", L"VRML.World");
    ASSERT_TRUE(SetKeySecurity(HKEY_CURRENT_USER, kScratch + L"\\locked", kDenyReads));
    EXPECT_EQ(registry.KeyExists(kScratchPath + "locked\\").state, KeyState::Present);
    EXPECT_EQ(registry.KeyExists("HKCR\\.wrl\\").state, KeyState::Unknown);
}

// The 32-bit view as Wine keeps it, against the rule that the fake registry follows: a value written through the
// 32-bit view is read there, and natively at the path the rule names. Only redirected keys are compared: Wine keeps
// the whole of Classes apart, where Windows 7 and later share it but for CLSID and a few others (the keys the chain
// reads in the 32-bit view, CLSID and SOFTWARE\Microsoft, are redirected in both).
TEST(Win32Registry32BitView, ReadsWhatA32BitProcessSeesWhereTheRedirectorKeepsIt) {
    const std::pair<std::wstring, std::wstring> keys[] = { // the key written, and what is deleted below SOFTWARE
        {L"SOFTWARE\\Classes\\CLSID\\{QUELVO-TEST-32}\\InprocServer32", L"Classes\\CLSID\\{QUELVO-TEST-32}"},
        {L"SOFTWARE\\QuelvoTest32\\Compatibility", L"QuelvoTest32"}};
    Win32Registry registry;
    for (const auto &[key, made] : keys) {
        const DWORD data = 0x400;
        SetValue32(key, L"v", REG_DWORD, &data, sizeof data);
        const std::string path = "HKEY_LOCAL_MACHINE\\" + std::string(key.begin(), key.end()) + "\\v";
        EXPECT_EQ(registry.ReadRaw32(path).type, kRegDword) << path;
        EXPECT_EQ(registry.KeyExists32(path).state, KeyState::Present) << path;
        EXPECT_EQ(registry.ReadRaw(path).error, kRegistryFileNotFound) << "not in the native view: " << path;
        EXPECT_EQ(registry.ReadRaw(Wow64StoredPath(path)).error, kRegistryOk) << Wow64StoredPath(path);
        DeleteTree32(L"SOFTWARE", made);
    }
}

} // namespace
} // namespace quelvo
