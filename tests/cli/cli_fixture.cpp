#include "cli_fixture.h"

#include "../win/registry_fixture.h"
#include "core/switch.h"
#include "platform/backup_store_win.h"
#include "core/registry_path.h"
#include "platform/registry_win.h"
#include "platform/text_win.h"

#include <algorithm>

namespace quelvo::test {
namespace {

// A file that a finished console program's host still holds stays "delete pending" a moment and cannot be created
// again: each run gets names of its own.
std::wstring OutputName(const wchar_t *stream) {
    static int runs = 0;
    return std::wstring(stream) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs) +
           L".txt";
}

std::wstring EnvironmentFolder(const wchar_t *name) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

} // namespace

void DeleteFolder(const std::wstring &folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const std::wstring path = folder + L"\\" + found.cFileName;
        if (found.cFileName[0] == L'.') continue;
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? DeleteFolder(path) : (void)DeleteFileW(path.c_str());
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    RemoveDirectoryW(folder.c_str());
}

std::vector<std::string> Places(Scope scope) {
    std::vector<std::string> paths;
    for (const RegistryWrite &write : SwitchWrites(Viewers().front(), scope))
        if (std::ranges::find(paths, write.path) == paths.end()) paths.push_back(write.path);
    return paths;
}

void CliTest::SetUp() {
    std::vector<std::string> touched = Places(Scope::Machine), user = Places(Scope::CurrentUser);
    touched.insert(touched.end(), user.begin(), user.end());
    touched.push_back(std::string(kMachineNoBackupRecord));
    touched.push_back(std::string(kUserNoBackupRecord));
    for (std::string_view extension : kExtensions)
        touched.push_back(std::string("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                      "FileExts\\")
                              .append(extension)
                              .append("\\UserChoice\\ProgId"));
    for (const std::string &path : touched) {
        const RegistryPath parsed = *ParseRegistryPath(path);
        HKEY key = nullptr;
        const bool existed = RegOpenKeyExW(RootKey(parsed.root), Widen(parsed.key).c_str(), 0, KEY_READ, &key) == 0;
        if (key) RegCloseKey(key);
        RawValue value = GetRawValue(RootKey(parsed.root), Widen(parsed.key), Widen(parsed.valueName));
        saved_.push_back({path, existed, value.status, value.type, std::move(value.data)});
    }
    wchar_t buffer[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, buffer);
    folder_ = std::wstring(buffer) + L"quelvo-cli-test";
    DeleteFolder(folder_);
    CreateDirectoryW(folder_.c_str(), nullptr);
    // The environment names the same folders as the known-folder API here, and reading it keeps shell32 out of this
    // process, which a test of the command line's own loading needs.
    machineFolder_ = EnvironmentFolder(L"ProgramData") + L"\\Quelvo";
    userFolder_ = EnvironmentFolder(L"LOCALAPPDATA") + L"\\Quelvo";
    for (const std::wstring &kept : {machineFolder_, userFolder_}) {
        if (GetFileAttributesW((kept + L".saved-by-cli-tests").c_str()) == INVALID_FILE_ATTRIBUTES)
            MoveFileExW(kept.c_str(), (kept + L".saved-by-cli-tests").c_str(), 0);
        DeleteFolder(kept);
    }
}

void CliTest::TearDown() {
    for (const std::wstring &kept : {machineFolder_, userFolder_}) {
        DeleteFolder(kept);
        MoveFileExW((kept + L".saved-by-cli-tests").c_str(), kept.c_str(), 0);
    }
    DeleteFolder(folder_);
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
        const RegistryPath parsed = *ParseRegistryPath(saved->path);
        const HKEY root = RootKey(parsed.root);
        const std::wstring key = Widen(parsed.key), name = Widen(parsed.valueName);
        SetKeySecurity(root, key, kAllowAll);
        if (!saved->keyExisted) DeleteTree(root, key);
        else if (saved->status == ERROR_SUCCESS)
            SetRawValue(root, key, name, saved->type, saved->data.data(), static_cast<DWORD>(saved->data.size()));
        else
            RegDeleteKeyValueW(root, key.c_str(), name.c_str());
    }
}

namespace {

// The command line writes its text to a file in the OEM code page, as Windows' own tools do when they have no console
// window to write to; a file's own bytes (.reg in UTF-16, XML in UTF-8) come as they are.
std::string FromOemText(const std::string &bytes) {
    if (bytes.empty() || bytes.starts_with("\xFF\xFE") || bytes.starts_with("<?xml")) return bytes;
    const int size = MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    return Narrow(wide);
}

} // namespace

ProcessResult CliTest::RunCli(const std::wstring &arguments) {
    const std::wstring outPath = TempFile(OutputName(L"out"));
    HANDLE out = InheritableFile(outPath);
    EXPECT_NE(out, INVALID_HANDLE_VALUE);
    ProcessResult result = RunCliTo(arguments, out);
    CloseHandle(out);
    result.out = FromOemText(ReadFileBytes(outPath).value_or(""));
    return result;
}

ProcessResult CliTest::RunCliTo(const std::wstring &arguments, HANDLE out) {
    const std::wstring errPath = TempFile(OutputName(L"err"));
    HANDLE err = InheritableFile(errPath);
    EXPECT_NE(err, INVALID_HANDLE_VALUE);
    ProcessResult result;
    result.exitCode = RunProcess(L"\"" + BuildFolder() + L"\\quelvo-cli.exe\" " + arguments, out, err);
    CloseHandle(err);
    result.err = FromOemText(ReadFileBytes(errPath).value_or(""));
    return result;
}

std::vector<ProcessResult> CliTest::RunCliTogether(const std::vector<std::wstring> &arguments) {
    struct Run {
        std::wstring outPath, errPath;
        HANDLE out, err;
        ChildProcess process;
    };
    std::vector<Run> runs;
    for (const std::wstring &words : arguments) {
        Run run{TempFile(OutputName(L"out")), TempFile(OutputName(L"err")), nullptr, nullptr, {}};
        run.out = InheritableFile(run.outPath);
        run.err = InheritableFile(run.errPath);
        run.process = ChildProcess::Start(L"\"" + BuildFolder() + L"\\quelvo-cli.exe\" " + words, run.out, run.err,
                                          CREATE_NO_WINDOW | CREATE_SUSPENDED);
        EXPECT_TRUE(run.process.Started()) << run.process.Result();
        runs.push_back(std::move(run));
    }
    for (Run &run : runs)
        run.process.Resume();
    std::vector<ProcessResult> results;
    for (Run &run : runs) {
        ProcessResult result;
        result.exitCode = run.process.Finish();
        CloseHandle(run.out);
        CloseHandle(run.err);
        result.out = FromOemText(ReadFileBytes(run.outPath).value_or(""));
        result.err = FromOemText(ReadFileBytes(run.errPath).value_or(""));
        results.push_back(std::move(result));
    }
    return results;
}

Outcome CliTest::RegImport(const std::wstring &file) {
    HANDLE sink = InheritableFile(TempFile(OutputName(L"reg")));
    const Outcome code = RunProcess(L"reg.exe import \"" + file + L"\"", sink, sink);
    CloseHandle(sink);
    return code;
}

std::map<std::string, std::optional<std::string>> CliTest::ReadPlaces(Scope scope) {
    Win32Registry registry;
    std::map<std::string, std::optional<std::string>> values;
    for (const std::string &path : Places(scope)) {
        const ReadResult read = registry.ReadValue(path);
        values[path] = read.status == ReadStatus::Text ? std::optional(read.text) : std::nullopt;
    }
    return values;
}

void CliTest::SetPlace(const std::string &path, const std::optional<std::string> &text) {
    const RegistryPath parsed = *ParseRegistryPath(path);
    if (text) SetStringValue(RootKey(parsed.root), Widen(parsed.key), Widen(parsed.valueName), Widen(*text));
    else RegDeleteKeyValueW(RootKey(parsed.root), Widen(parsed.key).c_str(), Widen(parsed.valueName).c_str());
}

void CliTest::FillPlaces(const std::string &prefix) {
    for (const std::string &path : Places())
        SetPlace(path, prefix + " " + path);
}

} // namespace quelvo::test
