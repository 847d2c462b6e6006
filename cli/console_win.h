#pragma once
// Text out as the reader gets it right: UTF-16 to a console window, UTF-8 with CRLF to a file or a pipe.

#include <windows.h>

#include <string_view>

namespace quelvo::cli {

class Console {
public:
    Console();
    void Out(std::string_view utf8) { outFailed_ |= !Write(out_, utf8); }
    void Err(std::string_view utf8) { Write(err_, utf8); }
    // A file's bytes as they are when redirected; its text (given as UTF-8) when shown in a console.
    void OutFile(std::string_view bytes, std::string_view utf8);
    // Whether some data meant for standard output could not be written (a full disk, a closed pipe).
    bool OutFailed() const { return outFailed_; }

private:
    struct Stream {
        HANDLE handle;
        bool isConsole;
    };
    static bool Write(const Stream &stream, std::string_view utf8);
    Stream out_;
    Stream err_;
    bool outFailed_ = false;
};

} // namespace quelvo::cli
