#include "cli_fixture.h"

#include "../win/registry_fixture.h"
#include "platform/registry_path.h"
#include "platform/registry_win.h"
#include "platform/text_win.h"

namespace quelvo::test {
namespace {

constexpr std::string_view kUserExtensions = "HKEY_CURRENT_USER\\Software\\Classes\\";
constexpr std::string_view kFileExts = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";

std::wstring BuildFolder() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\')); // ...\tests
    return path.substr(0, path.find_last_of(L'\\'));
}

HANDLE InheritableFile(const std::wstring &path) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

DWORD RunProcess(std::wstring commandLine, HANDLE out, HANDLE err) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

void DeleteFolder(const std::wstring &folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    while (search != INVALID_HANDLE_VALUE) {
        const std::wstring name = found.cFileName, path = folder + L"\\" + name;
        if (name != L"." && name != L"..")
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? DeleteFolder(path) : (void)DeleteFileW(path.c_str());
        if (!FindNextFileW(search, &found)) break;
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    RemoveDirectoryW(folder.c_str());
}

// Every place the tests change: the 29, their per-user twins, and the per-user choices.
std::vector<std::string> TouchedPaths() {
    std::vector<std::string> paths = Places(Scope::Machine);
    for (const std::string &path : Places(Scope::CurrentUser))
        paths.push_back(path);
    for (std::string_view extension : kExtensions)
        paths.push_back(std::string(kFileExts).append(extension).append("\\UserChoice\\ProgId"));
    return paths;
}

} // namespace

std::vector<std::string> Places(Scope scope) {
    std::vector<std::string> paths;
    for (const RegistryWrite &write : SwitchWrites(Viewers().front(), scope))
        if (std::find(paths.begin(), paths.end(), write.path) == paths.end()) paths.push_back(write.path);
    return paths;
}

void CliTest::SetUp() {
    for (const std::string &path : TouchedPaths()) {
        const RegistryPath parsed = *ParseRegistryPath(path);
        Saved saved;
        saved.path = path;
        HKEY key = nullptr;
        saved.keyExisted = RegOpenKeyExW(RootKey(parsed.root), Widen(parsed.key).c_str(), 0, KEY_READ, &key) == 0;
        if (key) RegCloseKey(key);
        const RawValue value = GetRawValue(RootKey(parsed.root), Widen(parsed.key), Widen(parsed.valueName));
        if (value.status == ERROR_SUCCESS) saved.data = value.data, saved.type = value.type;
        saved_.push_back(std::move(saved));
    }
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"quelvo-cli-test";
    DeleteFolder(folder_);
    CreateDirectoryW(folder_.c_str(), nullptr);
    // The machine backup goes where the test can see it, not into the prefix's own ProgramData.
    wchar_t old[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ProgramData", old, MAX_PATH)) programData_ = old;
    SetEnvironmentVariableW(L"ProgramData", folder_.c_str());
}

void CliTest::TearDown() {
    SetEnvironmentVariableW(L"ProgramData", programData_ ? programData_->c_str() : nullptr);
    DeleteFolder(folder_);
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
        const RegistryPath parsed = *ParseRegistryPath(saved->path);
        const HKEY root = RootKey(parsed.root);
        const std::wstring key = Widen(parsed.key);
        SetKeySecurity(root, key, kAllowAll);
        if (!saved->keyExisted) DeleteTree(root, key);
        else if (saved->data)
            SetRawValue(root, key, Widen(parsed.valueName), saved->type, saved->data->data(),
                        static_cast<DWORD>(saved->data->size()));
        else
            RegDeleteKeyValueW(root, key.c_str(), Widen(parsed.valueName).c_str());
    }
}

ProcessResult CliTest::RunCli(const std::wstring &arguments) {
    const std::wstring outPath = TempFile(L"stdout.txt"), errPath = TempFile(L"stderr.txt");
    HANDLE out = InheritableFile(outPath), err = InheritableFile(errPath);
    ProcessResult result;
    result.exitCode = RunProcess(L"\"" + BuildFolder() + L"\\quelvo-cli.exe\" " + arguments, out, err);
    CloseHandle(out);
    CloseHandle(err);
    result.out = ReadFileBytes(outPath).value_or("");
    result.err = ReadFileBytes(errPath).value_or("");
    return result;
}

DWORD CliTest::RegImport(const std::wstring &file) {
    HANDLE sink = InheritableFile(TempFile(L"reg.txt"));
    const DWORD code = RunProcess(L"reg.exe import \"" + file + L"\"", sink, sink);
    CloseHandle(sink);
    return code;
}

std::optional<std::string> CliTest::ReadFileBytes(const std::wstring &path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
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
