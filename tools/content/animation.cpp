#include "tools/content/animation.h"

#include <map>

namespace content {

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
