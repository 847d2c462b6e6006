#include "driver.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
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

// The version that the program's own assemblyIdentity in its embedded manifest declares.
std::string ManifestVersion(const std::wstring &exe) {
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return "(exe not loaded)";
    std::string manifest;
    if (HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const auto *text = static_cast<const char *>(LockResource(LoadResource(module, resource)));
        manifest.assign(text, SizeofResource(module, resource));
    }
    FreeLibrary(module);
    std::smatch match;
    static const std::regex identity(R"re(<assemblyIdentity[^>]*name="Tarnix\.Quelvo(\.Cli)?"[^>]*version="([0-9.]+)")re");
    return std::regex_search(manifest, match, identity) ? match[2].str() : "(no assemblyIdentity)";
}

std::string Dotted(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) + "." +
           std::to_string(LOWORD(low));
}

struct Program {
    const wchar_t *file;
    const wchar_t *description;
};

// Both programs' VERSIONINFO and manifest, generated from the build's project version, are read back through the
// API and compared with it.
TEST(Release, BothExecutablesCarryTheProjectVersionEverywhereAndInFrench) {
    const std::wstring quelvo = QuelvoPath();
    const std::wstring folder = quelvo.substr(0, quelvo.find_last_of(L'\\') + 1);
    for (const Program program : {Program{L"quelvo.exe", L"Quelvo : choix du viewer VRML/X3D par défaut"},
                                  Program{L"quelvo-cli.exe", L"Quelvo : ligne de commande du choix du viewer VRML/X3D"}}) {
        SCOPED_TRACE(program.file);
        const std::wstring path = folder + program.file;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> block(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

        VS_FIXEDFILEINFO *fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
        const std::string project = QUELVO_PROJECT_VERSION;
        EXPECT_EQ(Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS), project + ".0") << "FILEVERSION";
        EXPECT_EQ(Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS), project + ".0") << "PRODUCTVERSION";
        EXPECT_EQ(ManifestVersion(path), project + ".0");
        const std::wstring wideProject(project.begin(), project.end());
        EXPECT_EQ(VersionString(block, L"FileVersion"), wideProject);
        EXPECT_EQ(VersionString(block, L"ProductVersion"), wideProject);
        EXPECT_EQ(VersionString(block, L"ProductName"), L"Quelvo");
        EXPECT_EQ(VersionString(block, L"OriginalFilename"), program.file);
        EXPECT_EQ(VersionString(block, L"FileDescription"), program.description);
    }
}

} // namespace
} // namespace quelvo::e2e
