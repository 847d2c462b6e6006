#pragma once
// One version for the code and the VERSIONINFO resource.

#define QUELVO_VERSION_MAJOR 2
#define QUELVO_VERSION_MINOR 0
#define QUELVO_VERSION_PATCH 0
#define QUELVO_STRINGIZE2(x) #x
#define QUELVO_STRINGIZE(x) QUELVO_STRINGIZE2(x)
#define QUELVO_VERSION_TEXT                                                                                            \
    QUELVO_STRINGIZE(QUELVO_VERSION_MAJOR)                                                                             \
    "." QUELVO_STRINGIZE(QUELVO_VERSION_MINOR) "." QUELVO_STRINGIZE(QUELVO_VERSION_PATCH)
