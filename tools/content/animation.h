// Animation lists: how frame names group into animations (as the engine's
// loader groups them), how the engine picks its five standard animations by
// name, and what kind of motion each of our animation names stands for.
#pragma once

#include <string>
#include <vector>

namespace content {

struct AnimationRange {
    std::string name;
    int startFrame = 0;
    int endFrame = 0; // one past the last frame played
};

// The loader's grouping: a frame name's last two characters, when they hold a
// digit, number the frame; a change of base name (or the last frame) closes
// the animation under construction. The file's last frame is never played.
std::vector<AnimationRange> groupFrames(const std::vector<std::string>& frameNames);

// The engine's name matcher: false as soon as the stop text occurs, true where
// the word occurs (letters match in either case).
bool containsWord(const std::string& word, const std::string& text, const std::string& stop);
// The engine's search: first animation matching any of the words; 1 when none.
int findAnimation(const std::vector<std::string>& words,
                  const std::vector<AnimationRange>& animations);

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

// The five standard animations the engine finds for a list, in the order
// idle, pain, death, walk, attack.
struct StandardAnimations {
    int idle = 1, pain = 1, death = 1, walk = 1, attack = 1;
};
StandardAnimations searchStandardAnimations(const std::vector<AnimationRange>& animations);

} // namespace content
