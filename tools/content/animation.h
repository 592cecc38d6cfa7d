// What kind of motion each animation name of ours stands for, and the
// engine's grouping of frame names into animations.
#pragma once

#include "model/md2.h"

#include <string>
#include <vector>

namespace content {

enum MotionKind : unsigned {
    KIND_IDLE = 1,
    KIND_WALK = 2,
    KIND_ATTACK = 4,
    KIND_PAIN = 8,
    KIND_DEATH = 16,
    KIND_EXTRA = 32,
};

// What the motion of an animation of ours is good for, from its name (bit
// set of MotionKind); 0 for a name we never write.
unsigned motionKinds(const std::string& animationName);

// The animations the engine's loader makes of these frame names.
inline std::vector<ModelAnimation> animationsOf(const std::vector<std::string>& frameNames) {
    return groupAnimations(frameNames);
}

} // namespace content
