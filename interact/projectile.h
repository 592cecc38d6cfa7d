// Test projectiles: straight-line missiles that fly from a source point
// towards a destination at a fixed speed, stop once they have passed it, and
// are drawn every frame as small white spheres. Every step of their life is
// written to the error log.
#pragma once

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    void set(float x_, float y_, float z_);
    // Exactly 0 for the zero vector.
    float length() const;
    float lengthSquared() const;
    // Divides by the length; the zero vector stays as it is.
    void normalize();
    Vector3& operator*=(float f);
    Vector3 operator+(const Vector3& o) const;
    bool operator==(const Vector3& o) const;
    float& operator[](int i);
    float operator[](int i) const;
};

struct Point3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Point3() = default;
    Point3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    void set(float x_, float y_, float z_);
    float distance(const Point3& o) const;
    float distanceSquared(const Point3& o) const;
    // o minus this.
    Vector3 vectorTo(const Point3& o) const;
    bool operator==(const Point3& o) const;
    Point3& operator+=(const Vector3& v);
    // The index is taken as unsigned: a negative one is out of range too.
    float& operator[](unsigned i);
    float operator[](unsigned i) const;
};

struct Projectile {
    Point3 pos;
    // Displacement per step (a step is 100 ms).
    Vector3 velocity;
    bool inFlight = false;
    bool inUse = false;
    float speed = 0.0f;
    Point3 dest;
    Point3 source;
    // Squared distance to dest after the previous step.
    float lastDistSq = 0.0f;

    void init(float sx, float sy, float sz, float dx, float dy, float dz, float speed);
    void launch();
    // Moves by timeFactor / 10 steps; stops once the distance to dest grows.
    void update();
    // Needs a current GL context.
    void draw();
};

constexpr int PROJECTILE_CAPACITY = 512;

class ProjectileList {
  public:
    Projectile slots[PROJECTILE_CAPACITY];
    // Slots taken; they are never given back, so slots 0..count-1 are taken.
    int count = 0;

    // Takes the first free slot; a full list drops the request after the
    // "ADDING PROJECTILE AT" line.
    void add(float sx, float sy, float sz, float dx, float dy, float dz, float speed);
    // Moves and draws every taken slot (once per frame).
    void drawAll();
    // Every slot free again (tests).
    void clear();
};

extern ProjectileList g_projectiles;

// Key 2: from the player's position towards the point 50 units further
// along x, at speed 7.5.
void launchTestProjectile(const double from[3]);
