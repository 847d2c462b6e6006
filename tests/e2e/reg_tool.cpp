#include "reg_tool.h"

#include <windows.h>

#include <sstream>

namespace quelvo::e2e {

RegToolRead RegQueryString(const std::wstring &key, const std::wstring &valueName) {
    static int runs = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"quelvo-reg-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++runs) + L".txt";
    const std::wstring which = valueName.empty() ? L"/ve" : L"/v \"" + valueName + L"\"";
    test::Captured run = test::RunAndCapture(L"reg.exe query \"" + key + L"\" " + which, path);
    RegToolRead read{run.outcome, std::nullopt, run.output};
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t type = line.find("REG_SZ");
        if (type == std::string::npos) continue;
        std::size_t start = line.find_first_not_of(' ', type + 6);
        std::string data = start == std::string::npos ? "" : line.substr(start);
        while (!data.empty() && (data.back() == '\r' || data.back() == '\n'))
            data.pop_back();
        read.data = std::wstring(data.begin(), data.end()); // the values written are ASCII
        break;
    }
    return read;
}

} // namespace quelvo::e2e
