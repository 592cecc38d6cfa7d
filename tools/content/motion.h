// Key-frame poses: what each motion does to a skeleton at a point of its cycle.
#pragma once

#include "tools/content/creature.h"

namespace content {

struct PoseResult {
    double lift = 0;        // extra height above the ground (jumps)
    double groundBlend = 1; // hovering bodies: 0 keeps the hover, 1 rests on the ground
};

// Poses the creature for motion at phase (0 at the first frame; loops reach
// 1 one frame after their last, single plays reach it at their last frame).
PoseResult poseFor(const Creature& creature, Motion motion, double phase, Pose& pose);

// Whether the motion's last frame is its end pose (played once and held).
bool endsOnLastFrame(Motion motion);

} // namespace content
