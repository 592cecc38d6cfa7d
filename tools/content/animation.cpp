#include "tools/content/animation.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace content {
namespace {

bool sameLetter(char a, char b) {
    return a == b || std::abs(int(a) - int(b)) == 32;
}

bool occursAt(const std::string& word, const std::string& text, std::size_t p, bool anyCase) {
    if (p + word.size() > text.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (anyCase ? !sameLetter(word[k], text[p + k]) : word[k] != text[p + k]) return false;
    return true;
}

} // namespace

std::vector<AnimationRange> groupFrames(const std::vector<std::string>& frameNames) {
    std::vector<AnimationRange> out;
    std::string previous;
    AnimationRange building;
    int count = int(frameNames.size());
    for (int i = 0; i < count; ++i) {
        std::string name = frameNames[i];
        int number = 0;
        int length = int(name.size());
        for (int j = 0; j < length; ++j)
            if (std::isdigit(static_cast<unsigned char>(name[j])) && j >= length - 2) {
                number = std::atoi(name.c_str() + j);
                name.resize(j);
                break;
            }
        if (name != previous || i == count - 1) {
            if (!previous.empty()) {
                building.name = previous;
                building.endFrame = i;
                out.push_back(building);
                building = AnimationRange{};
            }
            building.startFrame = number - 1 + i;
            previous = name;
        }
    }
    return out;
}

bool containsWord(const std::string& word, const std::string& text, const std::string& stop) {
    for (std::size_t p = 0; p < text.size(); ++p) {
        if (occursAt(stop, text, p, false)) return false;
        if (occursAt(word, text, p, true)) return true;
    }
    return false;
}

int findAnimation(const std::vector<std::string>& words,
                  const std::vector<AnimationRange>& animations) {
    for (std::size_t i = 0; i < animations.size(); ++i)
        for (const std::string& word : words)
            if (containsWord(word, animations[i].name, "cr")) return int(i);
    return 1;
}

StandardAnimations searchStandardAnimations(const std::vector<AnimationRange>& animations) {
    StandardAnimations s;
    s.idle = findAnimation({"idle", "stand", "look", "NULL", "NULL", "NULL"}, animations);
    s.pain = findAnimation({"pain", "hurt", "NULL", "NULL", "NULL", "NULL"}, animations);
    s.death = findAnimation({"death", "die", "NULL", "NULL", "NULL", "NULL"}, animations);
    s.walk = findAnimation({"walk", "run", "NULL", "NULL", "NULL", "NULL"}, animations);
    s.attack = findAnimation({"attack", "NULL", "fire", "bite", "NULL", "NULL"}, animations);
    return s;
}

unsigned motionKinds(const std::string& name) {
    static const std::map<std::string, unsigned> kinds{
        {"stand", KIND_IDLE},
        {"idle", KIND_IDLE},
        {"crstand", KIND_IDLE | KIND_EXTRA},
        {"walk", KIND_WALK},
        {"run", KIND_WALK},
        {"crwalk", KIND_WALK | KIND_EXTRA},
        {"attack", KIND_ATTACK},
        {"attack2", KIND_ATTACK},
        {"crattack", KIND_ATTACK | KIND_EXTRA},
        {"pain", KIND_PAIN},
        {"pain2", KIND_PAIN},
        {"death", KIND_DEATH},
        {"death2", KIND_DEATH},
        // The hen settles down and goes still: the one animation the chicken's
        // slot plays both as its idle and as its death.
        {"roost", KIND_IDLE | KIND_DEATH},
        // The pain elemental's shudder serves as its idle, pain and death.
        {"throb", KIND_IDLE | KIND_PAIN | KIND_DEATH},
        {"jump", KIND_EXTRA},
        {"flip", KIND_EXTRA},
        {"salute", KIND_EXTRA},
        {"taunt", KIND_EXTRA},
        {"wave", KIND_EXTRA},
        {"point", KIND_EXTRA},
        {"rear", KIND_EXTRA},
        {"roar", KIND_EXTRA},
        {"flap", KIND_EXTRA},
    };
    auto it = kinds.find(name);
    return it == kinds.end() ? 0u : it->second;
}

} // namespace content
