#include "interact/projectile.h"

#include "core/log.h"
#include "core/settings.h"
#include "platform/win.h"
#include "render/stream_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cassert>
#include <cmath>

ProjectileList g_projectiles;

namespace {

constexpr float FIRST_LAST_DIST_SQ = 1.0e9f;
constexpr float TEST_PROJECTILE_RANGE = 50.0f;
constexpr float TEST_PROJECTILE_SPEED = 7.5f;

template <class T> void writeXyz(const T& v) {
    g_log << v.x << "," << v.y << "," << v.z;
}

// Made on the first draw and kept for the rest of the run.
GLUquadric* sphereQuadric() {
    static GLUquadric* quadric = gluNewQuadric();
    return quadric;
}

constexpr double SPHERE_RADIUS = 1.0;
constexpr int SPHERE_SLICES = 10, SPHERE_STACKS = 10;

// The sphere is compiled into a display list on its first draw in a GL
// context (a window rebuilt makes a new context, which has no such list)
// and called from there: hundreds of projectiles sent vertex by vertex would
// fill the driver's begin/end buffers many times a frame. The quadric's
// style, set just before, is the one compiled in.
void drawSphere(GLUquadric* q) {
    static GLuint list = 0;
    static int listContext = -1;
    if (!g_sendVertexArrays) {
        gluSphere(q, SPHERE_RADIUS, SPHERE_SLICES, SPHERE_STACKS);
        return;
    }
    if (list == 0 || listContext != win::ContextSerial()) {
        list = glGenLists(1);
        listContext = win::ContextSerial();
        if (list == 0) {
            gluSphere(q, SPHERE_RADIUS, SPHERE_SLICES, SPHERE_STACKS);
            return;
        }
        glNewList(list, GL_COMPILE);
        gluSphere(q, SPHERE_RADIUS, SPHERE_SLICES, SPHERE_STACKS);
        glEndList();
    }
    glCallList(list);
}

} // namespace

void Vector3::set(float x_, float y_, float z_) {
    x = x_;
    y = y_;
    z = z_;
}

float Vector3::lengthSquared() const {
    return x * x + y * y + z * z;
}

float Vector3::length() const {
    if (x == 0.0f && y == 0.0f && z == 0.0f) return 0.0f;
    return std::sqrt(lengthSquared());
}

void Vector3::normalize() {
    const float l = length();
    if (l <= 0.0f) return;
    x /= l;
    y /= l;
    z /= l;
}

Vector3& Vector3::operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
}

Vector3 Vector3::operator+(const Vector3& o) const {
    return {x + o.x, y + o.y, z + o.z};
}

bool Vector3::operator==(const Vector3& o) const {
    return x == o.x && y == o.y && z == o.z;
}

float& Vector3::operator[](int i) {
    assert(i >= 0 && i < 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

float Vector3::operator[](int i) const {
    assert(i >= 0 && i < 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

void Point3::set(float x_, float y_, float z_) {
    x = x_;
    y = y_;
    z = z_;
}

float Point3::distanceSquared(const Point3& o) const {
    const float dx = o.x - x, dy = o.y - y, dz = o.z - z;
    return dx * dx + dy * dy + dz * dz;
}

float Point3::distance(const Point3& o) const {
    return std::sqrt(distanceSquared(o));
}

Vector3 Point3::vectorTo(const Point3& o) const {
    return {o.x - x, o.y - y, o.z - z};
}

bool Point3::operator==(const Point3& o) const {
    return x == o.x && y == o.y && z == o.z;
}

Point3& Point3::operator+=(const Vector3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

float& Point3::operator[](unsigned i) {
    assert(i < 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

float Point3::operator[](unsigned i) const {
    assert(i < 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

void Projectile::init(float sx, float sy, float sz, float dx, float dy, float dz, float s) {
    source.set(sx, sy, sz);
    pos.set(sx, sy, sz);
    dest.set(dx, dy, dz);
    speed = s;
    launch();
}

void Projectile::launch() {
    inFlight = true;
    lastDistSq = FIRST_LAST_DIST_SQ;
    velocity = source.vectorTo(dest);
    g_log << "SRC->DEST VECTOR: ";
    writeXyz(velocity);
    g_log << std::endl;
    velocity.normalize();
    g_log << "NORMALIZED VELOCITY: ";
    writeXyz(velocity);
    g_log << std::endl;
    velocity *= speed;
    g_log << "SCALED VELOCITY: ";
    writeXyz(velocity);
    g_log << " (scaled by " << speed << ")" << std::endl;
}

void Projectile::update() {
    const float t = float(g_settings.timeFactor / 10.0);
    if (!inFlight) return;
    g_log << "OLD POS: ";
    writeXyz(pos);
    g_log << " VELOCITY: ";
    writeXyz(velocity);
    pos.x += t * velocity.x;
    pos.y += t * velocity.y;
    pos.z += t * velocity.z;
    const float d = pos.distanceSquared(dest);
    // Further away than after the last step: it has passed its destination.
    if (d > lastDistSq) inFlight = false;
    lastDistSq = d;
}

void Projectile::draw() {
    g_log << "SOURCE: ";
    writeXyz(source);
    g_log << "  POS: ";
    writeXyz(pos);
    g_log << "  DEST: ";
    writeXyz(dest);
    g_log << std::endl;
    glColor3f(1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(pos.x, pos.y, pos.z);
    GLUquadric* q = sphereQuadric();
    gluQuadricDrawStyle(q, GLU_FILL);
    gluQuadricNormals(q, GLU_SMOOTH);
    drawSphere(q);
    glPopMatrix();
}

void ProjectileList::add(float sx, float sy, float sz, float dx, float dy, float dz, float s) {
    g_log << "ADDING PROJECTILE AT (" << sx << "," << sy << "," << sz << ") TO (" << dx << "," << dy
          << "," << dz << ")  " << s << std::endl;
    for (Projectile& p : slots) {
        if (p.inUse) continue;
        ++count;
        p.inUse = true;
        p.init(sx, sy, sz, dx, dy, dz, s);
        return;
    }
}

void ProjectileList::drawAll() {
    int drawn = 0;
    for (int i = 0; i < PROJECTILE_CAPACITY && drawn < count; ++i) {
        Projectile& p = slots[i];
        if (!p.inUse) continue;
        g_log << "DRAWING PROJECTILE " << i << "...";
        p.update();
        p.draw();
        ++drawn;
    }
}

void ProjectileList::clear() {
    for (Projectile& p : slots)
        p = Projectile{};
    count = 0;
}

void launchTestProjectile(const double from[3]) {
    g_log << "Creating projectile..." << std::endl;
    const float x = float(from[0]), y = float(from[1]), z = float(from[2]);
    g_projectiles.add(x, y, z, x + TEST_PROJECTILE_RANGE, y, z, TEST_PROJECTILE_SPEED);
}
