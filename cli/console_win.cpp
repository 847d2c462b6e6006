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
    return WriteBytes(stream.handle, text);
}

void Console::OutFile(std::string_view bytes, std::string_view utf8) {
    Remember(out_.isConsole ? Write(out_, utf8) : WriteBytes(out_.handle, bytes));
}

} // namespace quelvo::cli
