// quelvo-cli: the switch, its check and its .reg files for scripts and administrators.
#include "commands.h"

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
    const int code = Run(*arguments, console);
    if (console.OutFailed() && code != quelvo::ToInt(quelvo::ExitCode::Usage)) {
        console.Err("La sortie standard n'a pas pu être écrite en entier.\n");
        return quelvo::ToInt(quelvo::ExitCode::OutputFailed);
    }
    return code;
}
