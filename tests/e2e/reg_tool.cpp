#include "reg_tool.h"

#include "../win/process_runner.h"

#include <windows.h>

#include <sstream>

namespace quelvo::e2e {
namespace {

std::string RunAndCapture(const std::wstring &commandLine) {
    static int runs = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return test::RunAndCapture(commandLine, std::wstring(temp) + L"quelvo-reg-" +
                                                std::to_wstring(GetCurrentProcessId()) + L"-" +
                                                std::to_wstring(++runs) + L".txt");
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
