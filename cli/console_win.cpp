#include "console_win.h"

#include "platform/text_win.h"

#include <string>

namespace quelvo::cli {
namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// A write that returns without taking anything would loop for ever: it counts as a short write.
DWORD WriteBytes(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
            return GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        if (written == 0) return ERROR_WRITE_FAULT;
        bytes.remove_prefix(written);
    }
    return 0;
}

// Redirected, text goes out as Windows' own console tools write it (reg, whoami, ipconfig): in the console's output
// code page, or the OEM code page where the process has none. Windows PowerShell decodes a program's output with
// that same code page unless told otherwise, so accents reach a script intact.
UINT RedirectedCodePage() {
    const UINT page = GetConsoleOutputCP();
    return page != 0 ? page : GetOEMCP();
}

// A character the code page lacks becomes its default character ('?'), never a look-alike: a best fit could turn a
// fraction slash into a path separator.
std::string InCodePage(std::string_view utf8, UINT page) {
    const std::wstring wide = Widen(utf8);
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    int size = WideCharToMultiByte(page, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size == 0) // UTF-8 and a few others take no flags
        size = WideCharToMultiByte(page, flags = 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(page, flags, wide.data(), length, text.data(), size, nullptr, nullptr);
    return text;
}

} // namespace

Console::Console()
    : out_{GetStdHandle(STD_OUTPUT_HANDLE), IsConsole(GetStdHandle(STD_OUTPUT_HANDLE))},
      err_{GetStdHandle(STD_ERROR_HANDLE), IsConsole(GetStdHandle(STD_ERROR_HANDLE))} {}

DWORD Console::Write(const Stream &stream, std::string_view utf8) {
    if (stream.isConsole) {
        const std::wstring text = Widen(utf8);
        DWORD written = 0;
        if (!WriteConsoleW(stream.handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            return GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
        return written == text.size() ? 0 : ERROR_WRITE_FAULT;
    }
    std::string text;
    for (char c : utf8) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return WriteBytes(stream.handle, InCodePage(text, RedirectedCodePage()));
}

void Console::OutFile(std::string_view bytes, std::string_view utf8) {
    Remember(out_.isConsole ? Write(out_, utf8) : WriteBytes(out_.handle, bytes));
}

} // namespace quelvo::cli
