#pragma once
// A question whose answers are named on their buttons: a task dialog where the Common Controls 6 library provides
// one, else a message box whose text says what each of its buttons does.

#include <windows.h>

#include <string>
#include <vector>

namespace quelvo {

struct ChoiceButton {
    int id; // what AskChoice returns when it is chosen; never IDCANCEL
    std::wstring text;
};

struct Choice {
    std::wstring instruction; // the one-line summary
    std::wstring content;
    std::vector<ChoiceButton> buttons; // at most two; a "Fermer" or "Annuler" button is added after them
    bool warning = false;              // else the error icon
};

// The button chosen, or IDCANCEL when the person closed the question without choosing.
int AskChoice(HWND owner, const Choice &choice);
// What the message box says when there is no task dialog.
std::wstring FallbackText(const Choice &choice);

} // namespace quelvo
