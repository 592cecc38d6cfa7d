// Key-frame models in the MD2 format (version 8): the in-memory model and its
// loader. The loader expands the packed vertices to floats once, with the
// file's z axis turned into the engine's up axis (y), and groups the key
// frames into named animations by their frame names (stand01, stand02, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Vec3f {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct TexCoord {
    float u = 0.0f, v = 0.0f;
};

struct Face {
    std::int32_t vertexIndex[3] = {};
    std::int32_t texCoordIndex[3] = {};
};

// One key frame as a mesh. Texture coordinates and faces are kept on frame 0
// only; drawing takes them from there and positions from the blended frames.
struct FrameMesh {
    int vertexCount = 0;
    int faceCount = 0;
    int texCoordCount = 0;
    std::vector<Vec3f> vertices;
    std::vector<TexCoord> texCoords;
    std::vector<Face> faces;
};

// The frames played are startFrame up to endFrame - 1.
struct ModelAnimation {
    std::string name;
    int startFrame = 0;
    int endFrame = 0;
};

struct Model {
    int frameCount = 0;
    int animationCount = 0;
    std::vector<ModelAnimation> animations;
    std::vector<FrameMesh> frames;

    void clear();
    // The animation at index, or nullptr when the index is not in the list.
    const ModelAnimation* animation(int index) const;
    // The frame at index, or nullptr when there is no such frame.
    const FrameMesh* frame(int index) const;
};

constexpr int MD2_VERSION = 8;
constexpr int MD2_HEADER_SIZE = 68;
// The largest frame the loader takes (bytes); larger frames are refused.
constexpr int MD2_MAX_FRAME_SIZE = 8320;
// Model files are small; anything larger is refused before it is read.
constexpr std::size_t MD2_MAX_FILE_SIZE = 32u << 20;

struct Md2Header {
    std::int32_t magic = 0;
    std::int32_t version = 0;
    std::int32_t skinWidth = 0;
    std::int32_t skinHeight = 0;
    std::int32_t frameSize = 0;
    std::int32_t skinCount = 0;
    std::int32_t vertexCount = 0;
    std::int32_t texCoordCount = 0;
    std::int32_t triangleCount = 0;
    std::int32_t glCommandCount = 0;
    std::int32_t frameCount = 0;
    std::int32_t skinsOffset = 0;
    std::int32_t texCoordsOffset = 0;
    std::int32_t trianglesOffset = 0;
    std::int32_t framesOffset = 0;
    std::int32_t glCommandsOffset = 0;
    std::int32_t endOffset = 0;
};

enum class Md2Result {
    Loaded,
    // The file could not be opened.
    Missing,
    // The version field is not 8.
    WrongVersion,
    // A count, offset, size or index does not fit the file.
    Damaged,
};

// Splits a frame name into its base name and trailing frame number: a digit
// among the last two characters starts the number ("stand01" -> "stand", 1;
// "pain101" -> "pain1", 1). Without one the number is 0.
void splitFrameName(const std::string& name, std::string& base, int& number);

// Groups frames, given by name in file order, into animations.
std::vector<ModelAnimation> groupAnimations(const std::vector<std::string>& frameNames);

// The one loader of the engine, reused for every file.
class Md2Loader {
  public:
    // Loads a model file. A file that cannot be opened shows "Unable to find
    // the file: <name>!" and ends the process with exit code 1. A wrong
    // version or a damaged file shows a message naming the file, leaves the
    // model as it was and returns false.
    bool import(Model& model, const std::string& fileName);

    // Loads a model file and reports problems (message boxes) without ending
    // the process: the caller decides what a missing file means.
    Md2Result load(Model& model, const std::string& fileName);

    // Builds the model from a file image held in memory; name is used in the
    // messages. Every count, offset and index is checked against the size of
    // the image before anything is read.
    Md2Result parse(Model& model, const std::uint8_t* data, std::size_t size,
                    const std::string& name);

    // Why the last file was refused (empty after a successful load).
    const std::string& lastError() const { return error_; }

  private:
    // One frame after conversion, kept only while a file is being loaded.
    struct ConvertedFrame {
        std::string name;
        std::vector<Vec3f> vertices;
    };

    Md2Header header_;
    std::vector<std::uint8_t> fileData_;
    std::vector<TexCoord> rawTexCoords_;
    std::vector<Face> rawFaces_;
    std::vector<ConvertedFrame> convertedFrames_;
    std::string error_;

    Md2Result refuse(Md2Result result, const std::string& text);
    Md2Result reportMissing(const std::string& name);
    Md2Result reportDamaged(const std::string& name);
    bool checkLayout(std::size_t size);
    void readTexCoords(const std::uint8_t* data);
    bool readTriangles(const std::uint8_t* data);
    void readFrames(const std::uint8_t* data);
    void buildModel(Model& model);
    void releaseRawArrays();
};
