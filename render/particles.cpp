#include "render/particles.h"

#include "core/camera.h"
#include "core/frame_state.h"
#include "core/random.h"
#include "core/settings.h"
#include "render/engine.h"

#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <vector>

ParticlePool g_particles;

void ParticlePool::addParticle(float x, float y, float z, float life, int sprite, float halfSize,
                               float gravity) {
    for (Particle& p : particles) {
        if (p.active) continue;
        p = Particle{};
        p.active = true;
        p.position[0] = x;
        p.position[1] = y;
        p.position[2] = z;
        p.life = life;
        p.sprite = sprite;
        p.halfSize = halfSize;
        p.gravity = gravity;
        p.acceleration[2] = gravity;
        return;
    }
}

void ParticlePool::spawnParticle(int kind, float x, float y, float z) {
    switch (kind) {
    case PARTICLE_PUFF: {
        float halfSize = float(0.5 + random01());
        x += float(randomCentered(1.0));
        y += float(randomCentered(1.0));
        z += float(randomCentered(1.0));
        addParticle(x, y, z, 50.0f, 0, halfSize, 0.01f);
        break;
    }
    case PARTICLE_FALLING_BIG:
        addParticle(x, y, z, 200.0f, 1, float(1.0 + 8.0 * random01()), -0.04f);
        break;
    case PARTICLE_CLICK_MARKER:
        addParticle(x, y, z, 80.0f, 2, 2.0f, -0.01f);
        break;
    case PARTICLE_PATH_FAILED:
        addParticle(x, y, z, 80.0f, 3, 2.0f, -0.01f);
        break;
    default:
        addParticle(x, y, z, 200.0f, 0, 4.0f, -0.04f);
        break;
    }
}

void ParticlePool::updateParticle(Particle& p, double dt) {
    p.age += float(dt);
    if (p.age >= p.life) p.active = false;
    for (int k = 0; k < 3; ++k) {
        p.velocity[k] += dt * p.acceleration[k];
        p.position[k] += dt * p.velocity[k];
    }
}

namespace {

// A particle's centre in window coordinates, truncated to the pixel whose
// depth decides whether it shows.
struct Projected {
    bool onScreen = false; // projects, and its pixel lies in the viewport
    bool projects = false;
    int x = 0, y = 0;
    double z = 0.0;
};

Projected project(const Particle& p) {
    Projected out;
    double wx = 0, wy = 0, wz = 0;
    out.projects = gluProject(p.position[0], p.position[1], p.position[2], g_frame.modelview,
                              g_frame.projection, g_frame.viewport, &wx, &wy, &wz) == GL_TRUE;
    if (!out.projects) return out;
    out.x = int(wx), out.y = int(wy), out.z = wz;
    const int* v = g_frame.viewport;
    out.onScreen = out.x >= v[0] && out.y >= v[1] && out.x < v[0] + v[2] && out.y < v[1] + v[3];
    return out;
}

// The depth buffer under every particle, read in one go (a read makes the
// rasteriser finish all the drawing queued so far, so one per particle
// would stall it again and again): the smallest rectangle holding the
// centres on the screen.
class DepthPatch {
  public:
    void read(const Projected* points, int count) {
        int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
        for (int k = 0; k < count; ++k) {
            const Projected& q = points[k];
            if (!q.onScreen) continue;
            if (x1 < x0) {
                x0 = x1 = q.x, y0 = y1 = q.y;
                continue;
            }
            x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
            y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
        }
        x_ = x0, y_ = y0, w_ = x1 - x0 + 1, h_ = y1 - y0 + 1;
        if (w_ <= 0) return;
        depth_.resize(std::size_t(w_) * std::size_t(h_));
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(x_, y_, w_, h_, GL_DEPTH_COMPONENT, GL_FLOAT, depth_.data());
    }
    // Depth at a centre; off the screen nothing is read and the far plane
    // stands in, as a read outside the window leaves it.
    float at(const Projected& q) const {
        if (!q.onScreen) return 1.0f;
        return depth_[std::size_t(q.y - y_) * std::size_t(w_) + std::size_t(q.x - x_)];
    }

  private:
    int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
    std::vector<float> depth_;
};

// True when the depth buffer holds something nearer than the particle's centre.
bool hiddenByWorld(const Projected& q, const DepthPatch& patch) {
    if (!q.projects) return true;
    return patch.at(q) < q.z;
}

void drawSquare(const Particle& p) {
    constexpr double RAD_TO_DEG = 180.0 / M_PI;
    float alpha = p.life > 0.0f ? 1.0f - p.age / p.life : 0.0f;
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    int sprite = (p.sprite >= 0 && p.sprite < SPRITE_TEXTURE_COUNT) ? p.sprite : 0;
    glBindTexture(GL_TEXTURE_2D, g_engine.spriteTextures[sprite]);
    glPushMatrix();
    glTranslated(p.position[0], p.position[1], p.position[2]);
    // Turned to face the camera: the square lies in its local y-z plane.
    glRotated(g_camera.yaw * RAD_TO_DEG, 0, 0, 1);
    glRotated(-g_camera.pitch * RAD_TO_DEG, 0, 1, 0);
    float s = p.halfSize;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(0, s, -s);
    glTexCoord2f(0, 1);
    glVertex3f(0, s, s);
    glTexCoord2f(1, 1);
    glVertex3f(0, -s, s);
    glTexCoord2f(1, 0);
    glVertex3f(0, -s, -s);
    glEnd();
    glPopMatrix();
}

} // namespace

void ParticlePool::drawParticles() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glGetDoublev(GL_MODELVIEW_MATRIX, g_frame.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, g_frame.projection);
    glGetIntegerv(GL_VIEWPORT, g_frame.viewport);
    double dt = g_settings.timeFactor;
    // Update and project every active entry first: drawing writes no depth,
    // so every depth can be read before the first square is drawn.
    static int drawn[PARTICLE_POOL_SIZE];
    static Projected where[PARTICLE_POOL_SIZE];
    static DepthPatch patch;
    int count = 0;
    for (int k = 0; k < PARTICLE_POOL_SIZE; ++k) {
        Particle& p = particles[k];
        if (!p.active) continue;
        // An entry that expires now is still drawn this once, at alpha 0 or below.
        updateParticle(p, dt);
        drawn[count] = k;
        where[count++] = project(p);
    }
    patch.read(where, count);
    for (int n = 0; n < count; ++n)
        if (!hiddenByWorld(where[n], patch)) drawSquare(particles[drawn[n]]);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

int ParticlePool::activeCount() const {
    int n = 0;
    for (const Particle& p : particles)
        n += p.active ? 1 : 0;
    return n;
}

void ParticlePool::clear() {
    for (Particle& p : particles)
        p = Particle{};
}
