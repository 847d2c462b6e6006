#include "console_win.h"

#include "platform/text_win.h"

#include <string>

namespace quelvo::cli {
namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

bool WriteBytes(HANDLE handle, std::string_view bytes) {
    DWORD written = 0;
    while (!bytes.empty() && WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written > 0)
        bytes.remove_prefix(written);
    return bytes.empty();
}

} // namespace

Console::Console()
    : out_{GetStdHandle(STD_OUTPUT_HANDLE), IsConsole(GetStdHandle(STD_OUTPUT_HANDLE))},
      err_{GetStdHandle(STD_ERROR_HANDLE), IsConsole(GetStdHandle(STD_ERROR_HANDLE))} {}

bool Console::Write(const Stream &stream, std::string_view utf8) {
    if (stream.isConsole) {
        const std::wstring text = Widen(utf8);
        DWORD written = 0;
        return WriteConsoleW(stream.handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
    }
    std::string text;
    for (char c : utf8) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return WriteBytes(stream.handle, text);
}

void Console::OutFile(std::string_view bytes, std::string_view utf8) {
    outFailed_ |= out_.isConsole ? !Write(out_, utf8) : !WriteBytes(out_.handle, bytes);
}

} // namespace quelvo::cli
