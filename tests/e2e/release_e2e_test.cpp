#include "driver.h"
#include "ui/version.h"

#include <gtest/gtest.h>

#include <vector>

namespace quelvo::e2e {
namespace {

std::wstring VersionString(const std::vector<BYTE> &block, const wchar_t *name) {
    wchar_t *text = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040C04B0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void **>(&text), &length)) return L"";
    return text;
}

TEST(Release, TheExecutableCarriesItsVersionInFrench) {
    const std::wstring path = QuelvoPath();
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), QUELVO_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), QUELVO_VERSION_MINOR);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), QUELVO_VERSION_PATCH);
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Quelvo");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"2.0.0");
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Quelvo : choix du viewer VRML/X3D par défaut");
}

} // namespace
} // namespace quelvo::e2e
