#pragma once
// The resource IDs of each viewer's button and menu item, by the button's name in the catalogue: stated once here
// for the in-process and the end-to-end tests.

#include "core/viewer_catalogue.h"
#include "ui/resource.h"

#include <map>
#include <string_view>

namespace quelvo::test {

struct ViewerIds {
    int button;
    int menuItem;
};

inline ViewerIds IdsOf(const ViewerRecord &viewer) {
    static const std::map<std::string_view, ViewerIds> ids = {
        {"Command1", {IDC_COMMAND1, IDM_MCORTONA}}, {"Command3", {IDC_COMMAND3, IDM_MBLAXXUN}},
        {"Command4", {IDC_COMMAND4, IDM_MPIVORON}}, {"Command5", {IDC_COMMAND5, IDM_MCOSMO}},
        {"Command6", {IDC_COMMAND6, IDM_MBS}},      {"Command7", {IDC_COMMAND7, IDM_MOCTAGA}},
        {"Command8", {IDC_COMMAND8, IDM_MFLUX}}};
    return ids.at(viewer.button);
}

} // namespace quelvo::test
