// MD2 loader: any bytes are refused, or give a model whose faces and
// texture coordinates all point inside it.
#include "model/md2.h"
#include "platform/win.h"

#include <cstdint>
#include <cstdlib>

namespace {

// A model without texture coordinates may carry any texture index: the
// drawing code never reads them then.
bool faceInside(const Face& face, const FrameMesh& mesh) {
    const bool textured = mesh.texCoordCount > 0;
    for (int k = 0; k < 3; ++k) {
        if (face.vertexIndex[k] < 0 || face.vertexIndex[k] >= mesh.vertexCount) return false;
        if (textured && (face.texCoordIndex[k] < 0 || face.texCoordIndex[k] >= mesh.texCoordCount))
            return false;
    }
    return true;
}

void checkModel(const Model& model) {
    if (model.frameCount != int(model.frames.size())) std::abort();
    // Animation ranges come from the frame names and may point past the
    // frames; the players look frames up through Model::frame.
    if (model.animationCount != int(model.animations.size())) std::abort();
    if (model.frames.empty()) return;
    const FrameMesh& first = model.frames.front();
    if (int(first.faces.size()) != first.faceCount) std::abort();
    if (int(first.texCoords.size()) != first.texCoordCount) std::abort();
    for (const FrameMesh& frame : model.frames)
        if (int(frame.vertices.size()) != first.vertexCount) std::abort();
    for (const Face& face : first.faces)
        if (!faceInside(face, first)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The loader reports refusals in message boxes; here they are answered silently.
    win::SetMessageBoxAnswerer([](const win::MessageBoxRecord&) { return win::IDOK; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Md2Loader loader;
    Model model;
    if (loader.parse(model, data, size, "fuzz.md2") == Md2Result::Loaded) checkModel(model);
    return 0;
}
