#include "account_win.h"

#include "unique_handle_win.h"

#include <vector>

namespace quelvo {

Account AccountOfSid(PSID sid) {
    for (WELL_KNOWN_SID_TYPE type : {WinLocalSystemSid, WinLocalServiceSid, WinNetworkServiceSid}) {
        BYTE known[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof known;
        if (CreateWellKnownSid(type, nullptr, known, &size) && EqualSid(sid, known)) return Account::SystemOrService;
    }
    return Account::User;
}

Account CurrentAccount() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return Account::User;
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return Account::User;
    return AccountOfSid(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid);
}

} // namespace quelvo
