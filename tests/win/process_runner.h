#pragma once
// The one way the tests start another program: standard output and error into files the caller names (console
// programs under Wine may leave a console host holding them a moment, so deleting must not wait), or none for a
// window program; suspended where several must be let go at one moment. What became of it says which of three
// things happened (it could not start, it outlived its limit, it ended with a code), for an assertion's message.

#include "file_bytes.h"
#include "limits.h"

#include <windows.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>

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

inline std::string Utf8(const std::wstring &text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

inline std::string SystemErrorText(DWORD error) {
    wchar_t *text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring message = text ? text : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    return "error " + std::to_string(error) + (message.empty() ? "" : ": " + Utf8(message));
}

// What became of a program the tests ran. Compared with a number it equals that exit code only if the program
// ended with it; printed, it says what happened, so EXPECT_EQ(outcome, 0u) explains its own failure.
struct Outcome {
    enum class Kind { NotStarted, Running, TimedOut, Exited };
    Kind kind = Kind::NotStarted;
    DWORD value = 0; // the system's error for NotStarted, the exit code for Exited
    std::wstring command;
    DWORD firstStartError = 0; // a start that failed once and succeeded when tried again
    DWORD limitMs = 0;

    bool Ended() const { return kind == Kind::Exited; }
    std::string Describe() const {
        std::string text = Utf8(command) + ": ";
        switch (kind) {
        case Kind::NotStarted: text += "could not start (" + SystemErrorText(value) + ")"; break;
        case Kind::Running: text += "still running"; break;
        case Kind::TimedOut:
            text += "did not end within " + std::to_string(limitMs) + " ms, and was ended by the test";
            break;
        case Kind::Exited: text += "ended with code " + std::to_string(value); break;
        }
        if (firstStartError) text += " (started at the second try; the first failed with " +
                                     SystemErrorText(firstStartError) + ")";
        return text;
    }
};

inline bool operator==(const Outcome &outcome, unsigned long long exitCode) {
    return outcome.kind == Outcome::Kind::Exited && outcome.value == exitCode;
}
inline std::ostream &operator<<(std::ostream &out, const Outcome &outcome) {
    return out << outcome.Describe();
}

// A started program, in a job that ends it and whatever it started when this object goes (where the system
// honours the job; TerminateProcess by handle ends the program itself in any case). Move-only.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ChildProcess(ChildProcess &&other) noexcept { *this = std::move(other); }
    ChildProcess &operator=(ChildProcess &&other) noexcept {
        if (this != &other) {
            End();
            process_ = std::exchange(other.process_, {});
            job_ = std::exchange(other.job_, nullptr);
            outcome_ = std::move(other.outcome_);
        }
        return *this;
    }
    ~ChildProcess() { End(); }

    // Without out and err the program gets no handles of ours. CREATE_SUSPENDED in flags: let go with Resume.
    static ChildProcess Start(std::wstring commandLine, HANDLE out = nullptr, HANDLE err = nullptr,
                              DWORD flags = CREATE_NO_WINDOW) {
        ChildProcess child;
        child.outcome_.command = commandLine;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        const bool captured = out || err;
        if (captured) {
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = out;
            startup.hStdError = err;
        }
        // Under Wine on a loaded machine a start has, once in some thousands, failed before the program ran a line
        // of its own (the error was not kept then); a second try tells that apart from a program that cannot
        // start, and the outcome names the first failure.
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, captured, flags | CREATE_SUSPENDED,
                               nullptr, nullptr, &startup, &child.process_)) {
                child.outcome_.kind = Outcome::Kind::Running;
                child.Contain();
                if (!(flags & CREATE_SUSPENDED)) child.Resume();
                return child;
            }
            const DWORD error = GetLastError();
            std::fprintf(stderr, "starting %ls failed with error %lu\n", commandLine.c_str(), error);
            if (attempt == 0) child.outcome_.firstStartError = error;
            else child.outcome_.value = error;
        }
        child.outcome_.firstStartError = 0;
        return child;
    }

    bool Started() const { return process_.hProcess != nullptr; }
    HANDLE Handle() const { return process_.hProcess; }
    DWORD Id() const { return process_.dwProcessId; }
    void Resume() {
        if (process_.hThread) ResumeThread(process_.hThread);
    }

    // True once it has ended, waiting at most limit; the outcome then holds its exit code.
    bool Wait(std::chrono::milliseconds limit) {
        if (!Started()) return false;
        if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) return false;
        GetExitCodeProcess(process_.hProcess, &outcome_.value);
        outcome_.kind = Outcome::Kind::Exited;
        return true;
    }

    // Waits for it to end; one that outlives limit is ended here, before the next test starts.
    Outcome Finish(std::chrono::milliseconds limit = Ceiling()) {
        if (Started() && !Wait(limit)) {
            End();
            outcome_.kind = Outcome::Kind::TimedOut;
            outcome_.limitMs = static_cast<DWORD>(limit.count());
        }
        Close();
        return outcome_;
    }

    // Ends it at once if it still runs (exit code 99), with whatever it started where the job allows.
    void End() {
        if (Started() && WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, CeilingMs());
        }
        Close();
    }

    const Outcome &Result() const { return outcome_; }

private:
    void Contain() {
        job_ = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (job_ && (!SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
                     !AssignProcessToJobObject(job_, process_.hProcess))) {
            CloseHandle(job_); // a test process already in a job of its own: the handle alone ends the program
            job_ = nullptr;
        }
    }
    void Close() {
        if (process_.hProcess) CloseHandle(process_.hProcess);
        if (process_.hThread) CloseHandle(process_.hThread);
        if (job_) CloseHandle(job_);
        process_ = {};
        job_ = nullptr;
    }

    PROCESS_INFORMATION process_ = {};
    HANDLE job_ = nullptr;
    Outcome outcome_;
};

inline Outcome RunProcess(std::wstring commandLine, HANDLE out, HANDLE err) {
    return ChildProcess::Start(std::move(commandLine), out, err).Finish();
}

// What it writes to standard output and error, through a file at path, and what became of it.
struct Captured {
    Outcome outcome;
    std::string output;
};
inline Captured RunAndCapture(std::wstring commandLine, const std::wstring &path) {
    Captured captured;
    captured.outcome.command = commandLine;
    HANDLE file = InheritableFile(path);
    if (file == INVALID_HANDLE_VALUE) {
        captured.outcome.value = GetLastError(); // NotStarted: its output file could not be made
        return captured;
    }
    captured.outcome = RunProcess(std::move(commandLine), file, file);
    CloseHandle(file);
    captured.output = ReadFileBytes(path).value_or("");
    DeleteFileW(path.c_str());
    return captured;
}

} // namespace quelvo::test
