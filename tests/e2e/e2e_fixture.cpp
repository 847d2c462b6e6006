#include "e2e_fixture.h"

#include "../core/expected_associations.h"
#include "../win/registry_fixture.h"
#include "../win/viewer_ids.h"
#include "core/registry_path.h"
#include "platform/registry_win.h"
#include "reg_tool.h"

namespace quelvo::e2e {
namespace {

std::string KeyOf(const std::string &path) {
    if (path.starts_with(expected::kMachineClasses) && !path.starts_with(expected::kContentType))
        return "HKEY_CLASSES_ROOT\\" + path.substr(expected::kMachineClasses.size());
    return path;
}

// reg.exe names roots by their short names.
std::wstring RegToolKey(const RegistryPath &parsed) {
    const wchar_t *root = parsed.root == RegistryRoot::LocalMachine ? L"HKLM\\" : L"HKCR\\";
    return root + Widen(parsed.key);
}

} // namespace

std::map<std::string, std::string> LastValueByKey(const ViewerRecord &viewer) {
    std::map<std::string, std::string> values;
    for (const RegistryWrite &write : expected::AssociationsOf(viewer.displayName))
        values[KeyOf(write.path)] = write.value;
    return values;
}

void EndToEndTest::SetUp() {
    controls_.emplace();
    SetWrl(L"Octaga.Octaga.wrl");
    FillWithOtherText();
}

void EndToEndTest::TearDown() {
    program.Kill();
    controls_.reset();
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
        test::SetStringValue(RootKey(parsed.root), Widen(parsed.key), Widen(parsed.valueName), L"other text");
    }
}

std::wstring EndToEndTest::ReadText(const std::string &path) {
    const RegistryPath parsed = *ParseRegistryPath(path);
    const test::RawValue value = test::GetRawValue(RootKey(parsed.root), Widen(parsed.key), Widen(parsed.valueName));
    if (value.status != ERROR_SUCCESS || value.type != REG_SZ) return L"(not a string)";
    std::wstring text = value.Text();
    text.resize(wcslen(text.c_str()));
    return text;
}

void EndToEndTest::ExpectRegistryHolds(const ViewerRecord &viewer) {
    for (const auto &[path, value] : LastValueByKey(viewer)) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ReadText(path), Widen(value));
    }
}

void EndToEndTest::ExpectRegToolReads(const ViewerRecord &viewer) {
    const std::map<std::string, std::string> values = LastValueByKey(viewer);
    const auto &[path, value] = *values.begin();
    SCOPED_TRACE(path);
    const RegistryPath parsed = *ParseRegistryPath(path);
    const RegToolRead read = RegQueryString(RegToolKey(parsed), Widen(parsed.valueName));
    EXPECT_EQ(read.outcome, 0u) << read.output;
    EXPECT_EQ(read.data, Widen(value)) << read.outcome << ", printing:\n" << read.output;
}

void EndToEndTest::SetKeySecurity(const std::string &keyPath, const wchar_t *sddl) {
    const RegistryPath parsed = *ParseRegistryPath(keyPath + "\\");
    ASSERT_TRUE(test::SetKeySecurity(RootKey(parsed.root), Widen(parsed.key), sddl)) << keyPath;
}

void EndToEndTest::SwitchByButton(const ViewerRecord &viewer) {
    program.SetStatusText(L"");
    program.ClickControl(test::IdsOf(viewer).button);
    ASSERT_TRUE(WaitFor([&] { return program.StatusText() == Widen(viewer.displayName); }))
        << "the click on " << viewer.button << " did not switch";
}

} // namespace quelvo::e2e
