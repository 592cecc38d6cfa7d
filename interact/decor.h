// Decor: the table of decor kinds (static models such as trees, rocks and
// tombs) and the decor objects that stand on terrain pages.
#pragma once

struct FrameMesh;

constexpr int DECOR_KIND_COUNT = 30;
// Kinds 0..16 are given a model and a skin at start-up.
constexpr int DECOR_KINDS_SET_UP = 17;

class DecorKind {
  public:
    // False: objects of this kind block the ground they stand on.
    bool passable = false;
    // Taken from a counter that starts at -1 (the first kind has id -1).
    int id;
    // Blocking radius, in terrain cells.
    float radius = 1.5f;
    // True once the skin has been colour-keyed.
    bool transparent = false;
    // Index into the skin texture table.
    int skin = 0;
    // First frame of the kind's model; null until set up (or when the model
    // is missing), and then its objects draw nothing.
    const FrameMesh* mesh = nullptr;

    DecorKind();
};

// An object standing on a terrain page.
struct DecorObject {
    const DecorKind* kind = nullptr;
    double x = 0.0, y = 0.0, z = 0.0;
    // Degrees about z.
    float rotation = 0.0f;
    // Degrees about x.
    float tilt = 0.0f;
    // Brightness of the ground vertex it stands on.
    float light = 1.0f;
};

extern DecorKind g_decorKinds[DECOR_KIND_COUNT];

// Gives the kind its skin index and the first frame of model modelIndex.
void setupKind(DecorKind& kind, int modelIndex, int skinIndex);
// Makes every texel of the kind's skin that has exactly the key colour fully
// transparent and marks the kind transparent. Needs a current GL context and
// a 256 x 256 skin with an alpha channel.
void makeColourKeyTransparent(DecorKind& kind, float red, float green, float blue);
// Start-up: kinds 0..16 get model n and skin n; kind 0 is keyed on black.
void setupDecorKinds();

// Draws one decor object (nothing without a kind or a mesh). reduced is 1 on
// the coarsest pages that show objects: every third triangle is drawn.
void drawDecor(const DecorObject& d, int reduced);
// The triangles of a mesh as they stand, every third one when reduced is 1.
void drawDecorFaces(const FrameMesh& mesh, int reduced);
