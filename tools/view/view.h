// The model viewer beside the game: one model with its skin, stepping through
// its animations, and a contact sheet of every used actor slot in its idle
// pose. Both draw through the engine's own loader, slot table and drawing.
#pragma once

#include "model/slot.h"

#include <string>
#include <vector>

namespace view {

// Box around a pose in world units, as the slot draws it at the origin.
struct Bounds {
    double lo[3] = {1e30, 1e30, 1e30};
    double hi[3] = {-1e30, -1e30, -1e30};
    bool empty() const { return lo[0] > hi[0]; }
};

// Where the pose of `frame` of the slot's model lies when drawn at the origin
// facing heading 0; empty when the model has no such frame.
Bounds poseBounds(const ModelSlot& slot, int frame);

// Perspective and eye for a 45-degree view that fits the box, seen from the
// front and a little above, turned by `turn` radians about the vertical.
void lookAt(const Bounds& box, double aspect, double turn, double zoom);

// Draws the instance at the origin with the view above.
void drawInstance(ModelInstance& instance);

// One cell of the contact sheet: a used slot and its label.
struct SheetCell {
    int slot = 0;
    std::string label;
};
// Every slot of the slot table that shows a model, labelled with its number
// and the model's file.
std::vector<SheetCell> sheetCells();

// Layout of the sheet: columns, rows and the cell size in pixels.
struct SheetLayout {
    int columns = 8;
    int rows = 0;
    int cell = 128;
    int width() const { return columns * cell; }
    int height() const { return rows * cell; }
};
SheetLayout layoutFor(int cellCount);

// With a window open and the game's Data/ below the working directory: loads
// the models and skins, fills the slot table and writes the sheet as a 24-bit
// bitmap. False (with the reason) when it cannot be written.
bool writeContactSheet(const std::string& path, std::string& error);

// The interactive viewer on an open window. Left and right step through the
// animations, up and down zoom, A and D turn the model, space stops and
// starts the turning, Escape (or closing the window) quits.
class Viewer {
  public:
    ModelSlot slot;
    ModelInstance instance;
    std::string title;
    Bounds box;
    double turn = 0.6, zoom = 1.0;
    bool turning = true;

    // Loads the model (and the skin, when named) into spare entries of the
    // engine's tables and shows its idle animation. False when the model
    // cannot be read (the loader has said why).
    bool open(const std::string& modelFile, const std::string& skinFile);
    // One pass: the waiting messages and keys, then a frame. False once the
    // viewer is to close.
    bool step();
    void showAnimation(int index);
    // Draws the frame into the back buffer (step presents it).
    void draw();

  private:
    bool key(int vk);
};

// Opens the viewer and runs it until it closes; the exit status.
int runViewer(const std::string& modelFile, const std::string& skinFile);

} // namespace view
