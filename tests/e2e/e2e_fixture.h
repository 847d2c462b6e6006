#pragma once

#include "../core/expected_associations.h"
#include "../win/registry_fixture.h"
#include "driver.h"
#include "platform/text_win.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace quelvo::e2e {

using expected::ViewerNamed;

// Where each of a viewer's expected writes lands: under Wine HKEY_CLASSES_ROOT and HKLM\SOFTWARE\Classes are one tree,
// so an extension key keeps the later, classes-root write.
std::map<std::string, std::string> LastValueByKey(const ViewerRecord &viewer);

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void SetWrl(const std::wstring &value);
    void DeleteWrl();
    // Other text in all 29 places, so that a write that did not happen shows.
    void FillWithOtherText();
    // Compares every written place, read through the registry API.
    void ExpectRegistryHolds(const ViewerRecord &viewer);
    // One of them as reg.exe, the administrators' own tool, reads it.
    void ExpectRegToolReads(const ViewerRecord &viewer);
    std::wstring ReadText(const std::string &path);
    void SetKeySecurity(const std::string &keyPath, const wchar_t *sddl);
    // Acts and waits until Text1 shows the viewer, which happens only after all 29 writes.
    void SwitchByButton(const ViewerRecord &viewer);

    Program program;

private:
    // The viewers' controls, so that no message on the picture follows a click.
    std::optional<test::PlantedControls> controls_;
};

} // namespace quelvo::e2e
