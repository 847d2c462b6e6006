#include "reg_tool.h"

#include <windows.h>

#include <sstream>

namespace quelvo::e2e {
namespace {

std::string RunAndCapture(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    char buffer[4096];
    DWORD read = 0;
    while (started && ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0)
        output.append(buffer, read);
    CloseHandle(readEnd);
    if (started) {
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    return output;
}

} // namespace

std::optional<std::wstring> RegQueryString(const std::wstring &key, const std::wstring &valueName) {
    const std::wstring which = valueName.empty() ? L"/ve" : L"/v \"" + valueName + L"\"";
    const std::wstring command = L"reg.exe query \"" + key + L"\" " + which;
    std::string output = RunAndCapture(command);
    // A run that prints nothing at all is the tool failing (it failed so once on a loaded machine), not the value
    // missing, which prints the tool's error: run it once more.
    if (output.empty()) output = RunAndCapture(command);
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t type = line.find("REG_SZ");
        if (type == std::string::npos) continue;
        std::size_t start = line.find_first_not_of(' ', type + 6);
        std::string data = start == std::string::npos ? "" : line.substr(start);
        while (!data.empty() && (data.back() == '\r' || data.back() == '\n'))
            data.pop_back();
        return std::wstring(data.begin(), data.end()); // the values written are ASCII
    }
    return std::nullopt;
}

} // namespace quelvo::e2e
