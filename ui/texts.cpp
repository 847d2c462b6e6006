#include "texts.h"

#include "platform/system_text_win.h"
#include "resource.h"

namespace quelvo {

std::wstring LoadText(UINT id) {
    // With no buffer, LoadStringW hands back where the text lies in the image; the table's texts carry no NUL.
    const wchar_t *text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

std::string LoadAnsiText(UINT id) {
    const std::wstring text = LoadText(id);
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr, nullptr);
    return ansi;
}

std::wstring FillIn(std::wstring_view pattern, std::initializer_list<std::wstring_view> arguments) {
    std::wstring text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (pattern[i] == L'%' && next == L'%') {
            text += L'%';
            ++i;
        } else if (pattern[i] == L'%' && next >= L'1' && next <= L'9') {
            const std::size_t index = static_cast<std::size_t>(next - L'1');
            if (index < arguments.size()) text += arguments.begin()[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::wstring FormatText(UINT id, std::initializer_list<std::wstring_view> arguments) {
    return FillIn(LoadText(id), arguments);
}

std::wstring WindowsSays(DWORD error) {
    return FormatText(IDS_WINDOWS_SAYS, {SystemText(error), std::to_wstring(error)});
}

} // namespace quelvo
