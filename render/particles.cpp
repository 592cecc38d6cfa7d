#include "render/particles.h"

#include "core/camera.h"
#include "core/frame_state.h"
#include "core/random.h"
#include "core/settings.h"
#include "render/engine.h"

#include <GL/glu.h>
#include <cmath>

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

// True when the depth buffer holds something nearer than the particle's centre.
bool hiddenByWorld(const Particle& p) {
    double wx = 0, wy = 0, wz = 0;
    if (gluProject(p.position[0], p.position[1], p.position[2], g_frame.modelview,
                   g_frame.projection, g_frame.viewport, &wx, &wy, &wz) != GL_TRUE)
        return true;
    float depth = 1.0f;
    glReadPixels(int(wx), int(wy), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth < wz;
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
    for (Particle& p : particles) {
        if (!p.active) continue;
        // An entry that expires now is still drawn this once, at alpha 0 or below.
        updateParticle(p, dt);
        if (hiddenByWorld(p)) continue;
        drawSquare(p);
    }
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
