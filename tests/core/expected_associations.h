#pragma once
// The 29 registry writes that a switch to each viewer must make, in order, stated literally once for every suite
// that checks them: the core's association list and the real program's writes end to end. Both extension sets go
// to the machine's keys, so each machine extension key ends with the second set's value.

#include "core/association.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace quelvo::expected {

inline const std::string kContentType = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\";
inline const std::string kMachineClasses = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
inline const std::vector<std::string> kStandardTypes = {
    "model/vrml",     "model/x3d",     "model/fx3d",     "model/x3d+xml",     "model/x3d+vrml",    "model/x3d-vrml",
    "x-world/x-vrml", "x-world/x-x3d", "x-world/x-fx3d", "x-world/x-x3d+xml", "x-world/x-x3d-vrml"};
inline const std::vector<std::string> kPairedTypes = {
    "model/vrml",     "model/x3d",      "x-world/x-vrml", "x-world/x-x3d",     "model/fx3d",        "model/x3d+xml",
    "model/x3d+vrml", "model/x3d-vrml", "x-world/x-fx3d", "x-world/x-x3d+xml", "x-world/x-x3d-vrml"};
inline const std::vector<std::string> kExtensionNames = {".wrl",  ".wrl.gz",  ".wrz",   ".x3d", ".x3d.gz",
                                                         ".x3dv", ".x3dv.gz", ".x3dvz", ".x3dz"};

struct ExpectedSwitch {
    std::vector<std::string> contentTypes;
    std::vector<std::string> contentTypeValues;
    std::vector<std::string> machineValues;
    std::vector<std::string> classesRootValues;
};

inline std::vector<std::string> Times(int count, const std::string &value) {
    return std::vector<std::string>(count, value);
}

inline std::vector<RegistryWrite> ToWrites(const ExpectedSwitch &expected) {
    std::vector<RegistryWrite> writes;
    for (std::size_t i = 0; i < 11; ++i)
        writes.push_back({kContentType + expected.contentTypes[i] + "\\CLSID", expected.contentTypeValues[i]});
    for (std::size_t i = 0; i < 9; ++i)
        writes.push_back({kMachineClasses + kExtensionNames[i] + "\\", expected.machineValues[i]});
    for (std::size_t i = 0; i < 9; ++i)
        writes.push_back({kMachineClasses + kExtensionNames[i] + "\\", expected.classesRootValues[i]});
    return writes;
}

// By display name.
inline const std::map<std::string, std::vector<RegistryWrite>> &Associations() {
    const std::string cosmo = "{06646724-bcf3-11d0-9518-00c04fc2dd79}";
    const std::string octaga = "{660D0125-4C92-4EDD-B7B4-B36857F1449E}";
    const std::string none;
    static const std::map<std::string, std::vector<RegistryWrite>> writes = {
        {"Cortona", ToWrites({kStandardTypes,
                              Times(11, "{86A88967-7A20-11D2-8EDA-00600818EDB1}"),
                              Times(9, none),
                              {"Cortona.Client", none, "Cortona.Client", "Cortona.Client", none, "Cortona.Client", none,
                               "Cortona.Client", "Cortona.Client"}})},
        {"Blaxxun", ToWrites({kStandardTypes,
                              Times(11, "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}"),
                              Times(9, none),
                              {"VRML.World", none, "VRML.World", none, none, none, none, none, none}})},
        {"Pivoron", ToWrites({kStandardTypes, Times(11, "{332F83AF-3367-45C8-819F-9F7AE87410F8}"), Times(9, none),
                              Times(9, "Nexternet.NexternetPlayer.1")})},
        {"CosmoPlayer", ToWrites({kPairedTypes,
                                  {cosmo, octaga, cosmo, octaga, octaga, octaga, cosmo, cosmo, octaga, octaga, cosmo},
                                  Times(9, "SGI.CosmoPlayer.2"),
                                  Times(9, "SGI.CosmoPlayer.2")})},
        {"BS Contact", ToWrites({kStandardTypes, Times(11, "{4B6E3013-6E45-11D0-9309-0020AFE05CC8}"), Times(9, none),
                                 Times(9, "X3D.World")})},
        {"Octaga", ToWrites({kStandardTypes, Times(11, octaga), Times(9, none), Times(9, "Octaga.Octaga.wrl")})},
        {"Flux",
         ToWrites({kStandardTypes,
                   Times(11, "{918B202D-8E8F-4649-A70B-E9B178FEDC58}"),
                   {none, "Anima.AnimaCtrl.1", none, none, "Anima.AnimaCtrl.1", none, "Anima.AnimaCtrl.1", none, none},
                   Times(9, "Anima.AnimaCtrl.1")})},
    };
    return writes;
}

inline const std::vector<RegistryWrite> &AssociationsOf(std::string_view viewerName) {
    return Associations().at(std::string(viewerName));
}

// A per-user switch: the same writes, each key under this user's classes instead of the machine's.
inline std::vector<RegistryWrite> UserAssociationsOf(std::string_view viewerName) {
    std::vector<RegistryWrite> writes = AssociationsOf(viewerName);
    for (RegistryWrite &write : writes)
        write.path = "HKEY_CURRENT_USER\\Software\\Classes\\" + write.path.substr(kMachineClasses.size());
    return writes;
}

inline const ViewerRecord &ViewerNamed(std::string_view displayName) {
    for (const ViewerRecord &viewer : Viewers())
        if (viewer.displayName == displayName) return viewer;
    throw std::out_of_range("no viewer " + std::string(displayName));
}

} // namespace quelvo::expected
