#include "tools/soak/soak.h"

#include "app/input.h"

#include <X11/keysym.h>

#include <algorithm>
#include <string>

namespace soak {

unsigned long keySymOf(int vk) {
    if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
    if (vk >= win::VK_F1 && vk < win::VK_F1 + 12) return XK_F1 + (vk - win::VK_F1);
    switch (vk) {
    case win::VK_ESCAPE:
        return XK_Escape;
    case win::VK_SPACE:
        return XK_space;
    case win::VK_RETURN:
        return XK_Return;
    case win::VK_TAB:
        return XK_Tab;
    case win::VK_LEFT:
        return XK_Left;
    case win::VK_RIGHT:
        return XK_Right;
    case win::VK_UP:
        return XK_Up;
    case win::VK_DOWN:
        return XK_Down;
    case win::VK_PRIOR:
        return XK_Prior;
    case win::VK_NEXT:
        return XK_Next;
    case win::VK_HOME:
        return XK_Home;
    case win::VK_END:
        return XK_End;
    case win::VK_INSERT:
        return XK_Insert;
    case win::VK_DELETE:
        return XK_Delete;
    default:
        return 0;
    }
}

BoundKeys boundKeys() {
    const InputState defaults;
    BoundKeys bound;
    for (int key : defaults.bindings) {
        if (key <= 0 || key >= 256) continue; // unbound, or a mouse code
        const unsigned long sym = keySymOf(key);
        if (sym == 0)
            bound.unsendable.push_back(key);
        else if (key == win::VK_ESCAPE)
            bound.quitKey = sym;
        else
            bound.keys.push_back(sym);
    }
    return bound;
}

int countFindings(std::istream& errors, std::ostream& echo) {
    std::string line;
    int findings = 0;
    while (std::getline(errors, line)) {
        const bool report = line.find("ERROR: AddressSanitizer") != std::string::npos ||
                            line.find("ERROR: LeakSanitizer") != std::string::npos ||
                            line.find("runtime error:") != std::string::npos;
        if (!report) continue;
        if (findings < 5) echo << "  " << line << '\n';
        ++findings;
    }
    return findings;
}

namespace {

long medianOf(std::vector<long> values) {
    if (values.empty()) return -1;
    std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
    return values[values.size() / 2];
}

} // namespace

RssFigures residentFigures(const std::vector<RssSample>& samples) {
    RssFigures figures;
    if (samples.empty() || samples.back().at < 60.0) return figures;
    const double last = samples.back().at;
    std::vector<long> second, final;
    for (const RssSample& s : samples) {
        if (s.at < 60.0) continue;
        if (s.at < 120.0) second.push_back(s.kb);
        if (s.at >= last - 60.0) final.push_back(s.kb);
        figures.peak = std::max(figures.peak, s.kb);
    }
    figures.base = medianOf(second);
    figures.end = medianOf(final);
    if (figures.base > 0)
        figures.growth = 100.0 * double(figures.end - figures.base) / double(figures.base);
    return figures;
}

} // namespace soak
