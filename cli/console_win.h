#pragma once
// Text out as the reader gets it right: UTF-16 to a console window; to a file or a pipe, with CRLF, in the code page
// that Windows' own console tools write there (the console's output code page, else the OEM code page). A file's
// own bytes (.reg, XML) go out as they are. A write to standard output that fails or comes up short is remembered,
// so that the program can end with its own code.

#include <windows.h>

#include <string_view>

namespace quelvo::cli {

class Console {
public:
    Console();
    void Out(std::string_view utf8) { Remember(Write(out_, utf8)); }
    void Err(std::string_view utf8) { Write(err_, utf8); }
    // A file's bytes as they are when redirected; its text (given as UTF-8) when shown in a console.
    void OutFile(std::string_view bytes, std::string_view utf8);
    // The system's code of the first failed write to standard output; 0 while every one went through whole.
    DWORD OutError() const { return outError_; }

private:
    struct Stream {
        HANDLE handle;
        bool isConsole;
    };
    // The system's code when the text did not all go out, else 0.
    static DWORD Write(const Stream &stream, std::string_view utf8);
    void Remember(DWORD error) {
        if (error != 0 && outError_ == 0) outError_ = error;
    }
    Stream out_;
    Stream err_;
    DWORD outError_ = 0;
};

} // namespace quelvo::cli
