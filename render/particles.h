// A fixed pool of camera-facing, additively blended sprites: torch smoke and
// sparks, the debug puff, the click marker and the failed-path marker.
#pragma once

constexpr int PARTICLE_POOL_SIZE = 512;

// Particle kinds with their own life, sprite, size and gravity.
enum : int {
    PARTICLE_PUFF = 0, // rises, jittered start (key "1", dungeon torches)
    PARTICLE_FALLING_BIG = 1,
    PARTICLE_CLICK_MARKER = 5,
    PARTICLE_PATH_FAILED = 6,
};

struct Particle {
    bool active = false;
    double position[3] = {};
    double velocity[3] = {};
    // x and y always 0; z = gravity.
    double acceleration[3] = {};
    int sprite = 0;
    // Lifetime and time lived, in timeFactor units.
    float life = 0.0f;
    float age = 0.0f;
    float halfSize = 4.0f;
    float gravity = 0.0f;
};

class ParticlePool {
  public:
    Particle particles[PARTICLE_POOL_SIZE];

    // Takes the first free entry; a full pool drops the particle silently.
    void addParticle(float x, float y, float z, float life, int sprite, float halfSize,
                     float gravity);
    // A particle of the given kind at (x, y, z).
    void spawnParticle(int kind, float x, float y, float z);
    // Advances one entry by dt; it goes inactive once its age reaches its life.
    static void updateParticle(Particle& p, double dt);
    // Updates and draws every active particle (once per frame, after the
    // solid world so that the depth buffer hides particles behind it).
    void drawParticles();
    int activeCount() const;
    // Every entry back to inactive.
    void clear();
};

extern ParticlePool g_particles;
