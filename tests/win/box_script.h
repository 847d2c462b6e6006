#pragma once
// Acts from inside the modal loops that the window runs, as a user and the shell would: a thread timer answers the
// message boxes and task dialogs it opens (noting their text and how many are open at once) and acts once inside
// an open pop-up menu. The only way the tests act inside a modal loop.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quelvo::test {

class BoxScript {
public:
    // answers: the button pressed in each box, in order; IDOK once they run out.
    explicit BoxScript(std::vector<int> answers = {}) : answers_(std::move(answers)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 100, Tick);
    }
    BoxScript(const BoxScript &) = delete;
    BoxScript &operator=(const BoxScript &) = delete;
    ~BoxScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

    std::vector<std::wstring> texts;
    int mostOpenAtOnce = 0;
    // Runs inside the first box, before it is answered.
    std::function<void()> whileOpen;
    // Runs once inside the first visible pop-up menu, given it.
    std::function<void(HWND)> inPopup;

private:
    static BOOL CALLBACK Collect(HWND hwnd, LPARAM boxes) {
        wchar_t className[16] = {};
        GetClassNameW(hwnd, className, 16);
        if (lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(hwnd))
            reinterpret_cast<std::vector<HWND> *>(boxes)->push_back(hwnd);
        return TRUE;
    }
    // A message box's text; a task dialog's texts, its buttons' included, one a line.
    static std::wstring BoxText(HWND box) {
        wchar_t text[2048] = {};
        if (GetDlgItemTextW(box, 0xFFFF, text, 2048) > 0) return text;
        std::wstring all;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetWindowTextW(child, text, 2048) > 0) all += std::wstring(text) + L"\n";
        return all;
    }
    static std::vector<HWND> OpenBoxes() {
        std::vector<HWND> boxes;
        EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&boxes));
        return boxes;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        BoxScript *self = current_;
        if (!self) return;
        if (HWND popup = FindWindowW(L"#32768", nullptr); self->inPopup && popup && IsWindowVisible(popup))
            std::exchange(self->inPopup, nullptr)(popup);
        std::erase_if(self->answered_, [](HWND box) { return !IsWindow(box); }); // handles come back in use
        for (HWND box : OpenBoxes()) {
            if (!self->answered_.insert(box).second) continue;
            self->texts.push_back(BoxText(box));
            if (self->whileOpen) std::exchange(self->whileOpen, nullptr)();
            self->mostOpenAtOnce = std::max(self->mostOpenAtOnce, static_cast<int>(OpenBoxes().size()));
            const std::size_t index = self->texts.size() - 1;
            const int answer = index < self->answers_.size() ? self->answers_[index] : IDOK;
            // The button's handle as a real click gives it: a task dialog looks the button up by it.
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
        }
    }

    static inline BoxScript *current_ = nullptr;
    UINT_PTR timer_ = 0;
    std::vector<int> answers_;
    std::set<HWND> answered_;
};

} // namespace quelvo::test
