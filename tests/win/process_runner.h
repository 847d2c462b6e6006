#pragma once
// The one way the tests start another program: standard output and error into files the caller names (console
// programs under Wine may leave a console host holding them a moment, so deleting must not wait), or none for a
// window program; suspended where several must be let go at one moment.

#include "file_bytes.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace quelvo::test {

// The folder of the test programs (...\tests) and the build folder above it, where the programs they run are.
inline std::wstring TestsFolder() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\'));
}
inline std::wstring BuildFolder() {
    const std::wstring tests = TestsFolder();
    return tests.substr(0, tests.find_last_of(L'\\'));
}

inline HANDLE InheritableFile(const std::wstring &path) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Without out and err the program gets no handles of ours.
inline PROCESS_INFORMATION StartProcess(std::wstring commandLine, HANDLE out = nullptr, HANDLE err = nullptr,
                                        DWORD flags = CREATE_NO_WINDOW) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    const bool captured = out || err;
    if (captured) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
    }
    PROCESS_INFORMATION process = {};
    // Under Wine on a loaded machine a start has, once in some thousands, failed before the program ran a line of
    // its own; a second try tells that apart from a program that cannot start, and the first failure is shown.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, captured, flags, nullptr, nullptr,
                           &startup, &process))
            return process;
        std::fprintf(stderr, "starting %ls failed with error %lu\n", commandLine.c_str(), GetLastError());
    }
    return {};
}

// Its exit code once it ends within the wait, 0xFFFFFFFF otherwise; the handles are closed either way.
inline DWORD FinishProcess(PROCESS_INFORMATION &process, DWORD waitMilliseconds = 30000) {
    DWORD code = 0xFFFFFFFF;
    if (!process.hProcess) return code;
    if (WaitForSingleObject(process.hProcess, waitMilliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    process = {};
    return code;
}

inline DWORD RunProcess(std::wstring commandLine, HANDLE out, HANDLE err) {
    PROCESS_INFORMATION process = StartProcess(std::move(commandLine), out, err);
    return FinishProcess(process);
}

// What it writes to standard output and error, through a file at path.
inline std::string RunAndCapture(std::wstring commandLine, const std::wstring &path) {
    HANDLE file = InheritableFile(path);
    if (file == INVALID_HANDLE_VALUE) return "";
    RunProcess(std::move(commandLine), file, file);
    CloseHandle(file);
    std::string output = ReadFileBytes(path).value_or("");
    DeleteFileW(path.c_str());
    return output;
}

} // namespace quelvo::test
