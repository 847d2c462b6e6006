#include "e2e_fixture.h"

#include "../core/expected_associations.h"
#include "../win/registry_fixture.h"
#include "core/registry_path.h"
#include "platform/registry_win.h"
#include "reg_tool.h"

namespace quelvo::e2e {
namespace {

constexpr std::string_view kMachineClasses = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT\\";

std::string KeyOf(const std::string &path) {
    if (path.starts_with(kMachineClasses) && path.find("MIME") == std::string::npos)
        return std::string(kClassesRoot) + path.substr(kMachineClasses.size());
    return path;
}

// reg.exe names roots by their short names.
std::wstring RegToolKey(const RegistryPath &parsed) {
    const wchar_t *root = parsed.root == RegistryRoot::LocalMachine ? L"HKLM\\" : L"HKCR\\";
    return root + Wide(parsed.key);
}

} // namespace

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

const ViewerRecord &ViewerNamed(std::string_view name) {
    for (const ViewerRecord &viewer : Viewers())
        if (viewer.displayName == name) return viewer;
    throw std::runtime_error("no such viewer");
}

std::map<std::string, std::string> LastValueByKey(const ViewerRecord &viewer) {
    std::map<std::string, std::string> values;
    for (const RegistryWrite &write : expected::AssociationsOf(viewer.displayName))
        values[KeyOf(write.path)] = write.value;
    return values;
}

void EndToEndTest::SetUp() {
    SetWrl(L"Octaga.Octaga.wrl");
    FillWithOtherText();
}

void EndToEndTest::TearDown() {
    program.Kill();
}

void EndToEndTest::SetWrl(const std::wstring &value) {
    test::SetStringValue(HKEY_CLASSES_ROOT, L".wrl", L"", value);
}

void EndToEndTest::DeleteWrl() {
    test::DeleteTree(HKEY_CLASSES_ROOT, L".wrl");
}

void EndToEndTest::FillWithOtherText() {
    for (const RegistryWrite &write : expected::AssociationsOf("Cortona")) {
        if (KeyOf(write.path) == "HKEY_CLASSES_ROOT\\.wrl\\") continue; // start-up reads it; set by SetWrl
        const RegistryPath parsed = *ParseRegistryPath(write.path);
        test::SetStringValue(RootKey(parsed.root), Wide(parsed.key), Wide(parsed.valueName), L"other text");
    }
}

std::wstring EndToEndTest::ReadText(const std::string &path) {
    const RegistryPath parsed = *ParseRegistryPath(path);
    const test::RawValue value = test::GetRawValue(RootKey(parsed.root), Wide(parsed.key), Wide(parsed.valueName));
    if (value.status != ERROR_SUCCESS || value.type != REG_SZ) return L"(not a string)";
    std::wstring text = value.Text();
    text.resize(wcslen(text.c_str()));
    return text;
}

void EndToEndTest::ExpectRegistryHolds(const ViewerRecord &viewer, bool alsoWithRegTool) {
    for (const auto &[path, value] : LastValueByKey(viewer)) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ReadText(path), Wide(value));
        if (!alsoWithRegTool) continue;
        const RegistryPath parsed = *ParseRegistryPath(path);
        EXPECT_EQ(RegQueryString(RegToolKey(parsed), Wide(parsed.valueName)), Wide(value));
    }
}

void EndToEndTest::SetKeySecurity(const std::string &keyPath, const wchar_t *sddl) {
    const RegistryPath parsed = *ParseRegistryPath(keyPath + "\\");
    ASSERT_TRUE(test::SetKeySecurity(RootKey(parsed.root), Wide(parsed.key), sddl)) << keyPath;
}

void EndToEndTest::SwitchByButton(const ViewerRecord &viewer) {
    program.SetStatusText(L"");
    program.ClickControl(IDC_COMMAND1 + static_cast<int>(&viewer - Viewers().data()));
    ASSERT_TRUE(WaitFor([&] { return program.StatusText() == Wide(viewer.displayName); }))
        << "the click on " << viewer.button << " did not switch";
}

void EndToEndTest::SwitchByMenu(const ViewerRecord &viewer) {
    program.SetStatusText(L"");
    program.Command(IDM_MCORTONA + static_cast<int>(&viewer - Viewers().data()));
    ASSERT_TRUE(WaitFor([&] { return program.StatusText() == Wide(viewer.displayName); }))
        << viewer.menuItem << " did not switch";
}

void EndToEndTest::SwitchEveryViewer(Route route) {
    ASSERT_TRUE(program.Start());
    for (const ViewerRecord &viewer : Viewers()) {
        SCOPED_TRACE(std::string(viewer.displayName));
        FillWithOtherText();
        if (route == Route::Button)
            SwitchByButton(viewer);
        else
            SwitchByMenu(viewer);
        ExpectRegistryHolds(viewer, true);
    }
}

} // namespace quelvo::e2e
