// quelvo-cli: the switch, its check and its .reg files for scripts and administrators.
#include "commands.h"
#include "messages.h"

#include "core/exit_codes.h"
#include "platform/account_win.h"
#include "platform/dll_search_win.h"
#include "platform/text_win.h"

int wmain(int argc, wchar_t **argv) {
    using namespace quelvo::cli;
    quelvo::RestrictDllSearchToSystemFolder();
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i)
        words.push_back(quelvo::Narrow(argv[i]));
    Console console;
    const std::optional<Arguments> arguments = ParseArguments(words);
    if (!arguments) {
        PrintUsage(console, true);
        if (!words.empty() && words.front() == "check") PrintCheckRefused(console);
        return quelvo::ToInt(quelvo::ExitCode::Usage);
    }
    const int code = Run(*arguments, console, quelvo::CurrentAccount());
    // Data that did not reach standard output whole is a failure, whatever the command did.
    if (const DWORD error = console.OutError()) {
        const int final = quelvo::ExitCodeAfterOutputFailure(code);
        console.Err(OutputFailedText(SystemTextOf(error), code, final));
        return final;
    }
    return code;
}
