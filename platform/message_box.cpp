// Message boxes: SDL's boxes, or stderr with no display, or the test answerer.
#include "platform/layer.h"

#include <cstdio>

namespace win {
using namespace detail;

// ---- message boxes ----------------------------------------------------------

int MessageBox(const std::string& text, const std::string& title, unsigned style) {
    return MessageBox(nullptr, text, title, style);
}

int MessageBox(HWND owner, const std::string& text, const std::string& title, unsigned style) {
    Layer& l = layer();
    bool question = (style & 0x0F) == MB_YESNO;
    if (l.answerer) return l.answerer(MessageBoxRecord{text, title, style, owner});

    if (l.videoReady) {
        SDL_MessageBoxButtonData yesNo[2] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
        };
        SDL_MessageBoxButtonData ok[1] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
             IDOK, "OK"},
        };
        unsigned icon = style & 0xF0;
        std::uint32_t kind = icon == MB_ICONSTOP          ? SDL_MESSAGEBOX_ERROR
                             : icon == MB_ICONINFORMATION ? SDL_MESSAGEBOX_INFORMATION
                                                          : SDL_MESSAGEBOX_WARNING;
        SDL_MessageBoxData data{};
        data.flags = kind;
        data.window = static_cast<SDL_Window*>(owner);
        data.title = title.c_str();
        data.message = text.c_str();
        data.numbuttons = question ? 2 : 1;
        data.buttons = question ? yesNo : ok;
        int answer = 0;
        if (SDL_ShowMessageBox(&data, &answer) == 0 && answer > 0) return answer;
    }
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return question ? IDNO : IDOK;
}

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) {
    layer().answerer = std::move(answerer);
}

} // namespace win
