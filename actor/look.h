// How an actor looks: the slot that gives its model and standard animations,
// and the instance that carries its position, heading and playing animation.
// Until the model slots arrive this holds the few fields actors use.
#pragma once

struct ActorSlot {
    int halfHeight = 7;
    int idleAnimation = 0;
    int walkAnimation = 0;
};

struct ActorInstance {
    double position[3] = {0.0, 0.0, 0.0};
    float heading = 0.0f;
    int animation = 0;
    const ActorSlot* slot = nullptr;

    void setAnimation(int index) { animation = index; }
    void draw() {}
};
