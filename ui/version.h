#pragma once
// One version, name and maker for the code, the VERSIONINFO resource and the installer package (the build reads
// this file and fails if CMake's project version disagrees).

#define QUELVO_VERSION_MAJOR 2
#define QUELVO_VERSION_MINOR 0
#define QUELVO_VERSION_PATCH 0
#define QUELVO_PRODUCT_NAME "Quelvo"
#define QUELVO_MANUFACTURER "Tarnix"
#define QUELVO_STRINGIZE2(x) #x
#define QUELVO_STRINGIZE(x) QUELVO_STRINGIZE2(x)
#define QUELVO_VERSION_TEXT                                                                                            \
    QUELVO_STRINGIZE(QUELVO_VERSION_MAJOR)                                                                             \
    "." QUELVO_STRINGIZE(QUELVO_VERSION_MINOR) "." QUELVO_STRINGIZE(QUELVO_VERSION_PATCH)
