#pragma once
// The ".wrl" values that name each viewer, and values close to them that name none, stated once for every suite
// that checks what is detected.

#include <string_view>

namespace quelvo::expected {

struct WrlOwner {
    std::string_view wrlValue;
    std::string_view viewer; // its display name
};

inline constexpr WrlOwner kWrlOwners[] = {
    {"Cortona.Control.1", "Cortona"},
    {"Cortona.Client", "Cortona"}, // what the program's own switch to Cortona leaves
    {"SGI.CosmoPlayer.2", "CosmoPlayer"},
    {"VRML.World", "Blaxxun"},
    {"Octaga.Octaga.wrl", "Octaga"},
    {"Nexternet.NexternetPlayer.1", "Pivoron"},
    {"Anima.AnimaCtrl.1", "Flux"},
    {"X3D.World", "BS Contact"},
};

inline constexpr std::string_view kWrlNearMisses[] = {
    "vrml.World", "VRML.WorlD", "VRML.World ", " VRML.World", "VRML.Wor", "", "Cortona.control.1", "X3D.World\t",
    "Some.Other.Plugin"};

} // namespace quelvo::expected
