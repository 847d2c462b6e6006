#include "single_instance_win.h"

namespace quelvo {

MutexCreation CreateNamedMutex(const wchar_t *name) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    return {mutex, GetLastError()};
}

bool ClaimSingleInstance(const wchar_t *name, UniqueKernelHandle &held, MutexCreator create) {
    const MutexCreation created = create(name);
    held.Reset(created.mutex);
    return created.error != ERROR_ALREADY_EXISTS && created.error != ERROR_ACCESS_DENIED;
}

} // namespace quelvo
