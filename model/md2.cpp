#include "model/md2.h"

#include "core/log.h"
#include "platform/files.h"
#include "platform/win.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int SKIN_NAME_SIZE = 64;
constexpr int TEXCOORD_SIZE = 4;
constexpr int TRIANGLE_SIZE = 12;
constexpr int FRAME_HEADER_SIZE = 40;
constexpr int FRAME_NAME_SIZE = 16;
constexpr int PACKED_VERTEX_SIZE = 4;

std::int32_t readInt32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                        (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

std::int16_t readInt16(const std::uint8_t* p) {
    return std::int16_t(std::uint16_t(p[0] | (p[1] << 8)));
}

float readFloat(const std::uint8_t* p) {
    std::uint32_t bits = std::uint32_t(readInt32(p));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

Md2Header readHeader(const std::uint8_t* p) {
    std::int32_t fields[17];
    for (int i = 0; i < 17; ++i)
        fields[i] = readInt32(p + 4 * i);
    Md2Header h;
    std::memcpy(&h, fields, sizeof h);
    return h;
}

// The message box texts hold at most 255 characters; longer names are cut.
std::string formatMessage(const char* format, const std::string& fileName) {
    char text[256];
    std::snprintf(text, sizeof text, format, fileName.c_str());
    return text;
}

// True when count entries of entrySize bytes starting at offset lie inside a
// file of size bytes. An empty block is never read, so its offset is free.
bool blockFits(std::int64_t offset, std::int64_t count, std::int64_t entrySize, std::size_t size) {
    if (count == 0) return true;
    return offset >= 0 && offset + count * entrySize <= std::int64_t(size);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

void Model::clear() {
    frameCount = 0;
    animationCount = 0;
    animations.clear();
    frames.clear();
}

const ModelAnimation* Model::animation(int index) const {
    if (index < 0 || index >= int(animations.size())) return nullptr;
    return &animations[std::size_t(index)];
}

const FrameMesh* Model::frame(int index) const {
    if (index < 0 || index >= int(frames.size())) return nullptr;
    return &frames[std::size_t(index)];
}

void splitFrameName(const std::string& name, std::string& base, int& number) {
    base = name;
    number = 0;
    const int length = int(name.size());
    for (int j = 0; j < length; ++j) {
        if (isDigit(name[std::size_t(j)]) && j >= length - 2 && length >= 2) {
            number = std::atoi(name.c_str() + j);
            base = name.substr(0, std::size_t(j));
            return;
        }
    }
}

std::vector<ModelAnimation> groupAnimations(const std::vector<std::string>& frameNames) {
    std::vector<ModelAnimation> animations;
    std::string previous;
    ModelAnimation building;
    const int count = int(frameNames.size());
    for (int i = 0; i < count; ++i) {
        std::string base;
        int number = 0;
        splitFrameName(frameNames[std::size_t(i)], base, number);
        if (base == previous && i != count - 1) continue;
        // A new base name, or the last frame: the record under construction
        // ends here. For the last animation of the file that makes endFrame
        // the index of the last frame, and a new name on the last frame is
        // never recorded; the animation players rely on both.
        if (!previous.empty()) {
            building.name = previous;
            building.endFrame = i;
            animations.push_back(building);
            building = ModelAnimation();
        }
        building.startFrame = number - 1 + i;
        previous = base;
    }
    return animations;
}

bool Md2Loader::import(Model& model, const std::string& fileName) {
    Md2Result result = load(model, fileName);
    if (result == Md2Result::Missing) std::exit(1);
    return result == Md2Result::Loaded;
}

Md2Result Md2Loader::load(Model& model, const std::string& fileName) {
    error_.clear();
    std::FILE* file = win::OpenFile(fileName, "rb");
    if (!file) return reportMissing(fileName);
    fileData_.clear();
    std::uint8_t chunk[16384];
    bool tooLarge = false;
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (fileData_.size() + got > MD2_MAX_FILE_SIZE) {
            tooLarge = true;
            break;
        }
        fileData_.insert(fileData_.end(), chunk, chunk + got);
    }
    // A file that opens but cannot be read (a directory, an I/O error) is
    // as good as missing.
    const bool unreadable = std::ferror(file) != 0;
    std::fclose(file);
    if (unreadable) {
        fileData_.clear();
        return reportMissing(fileName);
    }
    Md2Result result;
    if (tooLarge) {
        refuse(Md2Result::Damaged, "file too large");
        result = reportDamaged(fileName);
    } else {
        result = parse(model, fileData_.data(), fileData_.size(), fileName);
    }
    fileData_.clear();
    fileData_.shrink_to_fit();
    return result;
}

Md2Result Md2Loader::parse(Model& model, const std::uint8_t* data, std::size_t size,
                           const std::string& name) {
    error_.clear();
    header_ = Md2Header();
    if (size < std::size_t(MD2_HEADER_SIZE) || data == nullptr) {
        refuse(Md2Result::Damaged, "shorter than the header");
        return reportDamaged(name);
    }
    header_ = readHeader(data);
    if (header_.version != MD2_VERSION) {
        win::MessageBox(formatMessage("Invalid file format (Version not 8): %s!", name), "Error",
                        win::MB_OK);
        return refuse(Md2Result::WrongVersion, "version not 8");
    }
    bool ok = checkLayout(size);
    if (ok) {
        readTexCoords(data);
        ok = readTriangles(data);
    }
    if (ok) {
        readFrames(data);
        buildModel(model);
    }
    releaseRawArrays();
    return ok ? Md2Result::Loaded : reportDamaged(name);
}

Md2Result Md2Loader::reportMissing(const std::string& name) {
    win::MessageBox(formatMessage("Unable to find the file: %s!", name), "Error", win::MB_OK);
    error_ = "missing";
    return Md2Result::Missing;
}

// A damaged file is refused like a wrong version: a message box naming the
// file, the model left as it was. The reason goes to the log.
Md2Result Md2Loader::reportDamaged(const std::string& name) {
    win::MessageBox(formatMessage("Invalid file format (damaged file): %s!", name), "Error",
                    win::MB_OK);
    g_log << "ERROR: model file refused: " << name << " (" << error_ << ")" << std::endl;
    return Md2Result::Damaged;
}

Md2Result Md2Loader::refuse(Md2Result result, const std::string& text) {
    error_ = text;
    return result;
}

// Checks the header's counts, sizes and offsets against each other and the
// size of the file, so that no block read afterwards can leave the file.
bool Md2Loader::checkLayout(std::size_t size) {
    const Md2Header& h = header_;
    if (h.skinCount < 0 || h.vertexCount < 0 || h.texCoordCount < 0 || h.triangleCount < 0 ||
        h.frameCount < 0) {
        refuse(Md2Result::Damaged, "negative count");
        return false;
    }
    if (h.frameCount > 0) {
        if (h.frameSize > MD2_MAX_FRAME_SIZE) {
            refuse(Md2Result::Damaged, "frame size above 8320 bytes");
            return false;
        }
        if (std::int64_t(h.frameSize) <
            FRAME_HEADER_SIZE + std::int64_t(h.vertexCount) * PACKED_VERTEX_SIZE) {
            refuse(Md2Result::Damaged, "frame size too small for its vertices");
            return false;
        }
    }
    if (h.texCoordCount > 0 && (h.skinWidth <= 0 || h.skinHeight <= 0)) {
        refuse(Md2Result::Damaged, "skin size not positive");
        return false;
    }
    if (!blockFits(h.skinsOffset, h.skinCount, SKIN_NAME_SIZE, size) ||
        !blockFits(h.texCoordsOffset, h.texCoordCount, TEXCOORD_SIZE, size) ||
        !blockFits(h.trianglesOffset, h.triangleCount, TRIANGLE_SIZE, size) ||
        !blockFits(h.framesOffset, h.frameCount, h.frameSize, size)) {
        refuse(Md2Result::Damaged, "block beyond the end of the file");
        return false;
    }
    return true;
}

void Md2Loader::readTexCoords(const std::uint8_t* data) {
    rawTexCoords_.resize(std::size_t(header_.texCoordCount));
    const std::uint8_t* p = data + header_.texCoordsOffset;
    const float width = float(header_.skinWidth);
    const float height = float(header_.skinHeight);
    for (TexCoord& tc : rawTexCoords_) {
        tc.u = float(readInt16(p)) / width;
        tc.v = 1.0f - float(readInt16(p + 2)) / height;
        p += TEXCOORD_SIZE;
    }
}

// Reads the triangles and checks every index against the vertex and
// texture-coordinate counts.
bool Md2Loader::readTriangles(const std::uint8_t* data) {
    rawFaces_.resize(std::size_t(header_.triangleCount));
    const std::uint8_t* p = data + header_.trianglesOffset;
    for (Face& face : rawFaces_) {
        for (int k = 0; k < 3; ++k) {
            face.vertexIndex[k] = readInt16(p + 2 * k);
            face.texCoordIndex[k] = readInt16(p + 6 + 2 * k);
            if (face.vertexIndex[k] < 0 || face.vertexIndex[k] >= header_.vertexCount) {
                refuse(Md2Result::Damaged, "vertex index out of range");
                return false;
            }
            // Without texture coordinates the indices are never used.
            if (header_.texCoordCount > 0 &&
                (face.texCoordIndex[k] < 0 || face.texCoordIndex[k] >= header_.texCoordCount)) {
                refuse(Md2Result::Damaged, "texture coordinate index out of range");
                return false;
            }
        }
        p += TRIANGLE_SIZE;
    }
    return true;
}

// Expands the packed vertices: the file's z axis becomes the engine's y (up)
// and the file's y axis becomes -z.
void Md2Loader::readFrames(const std::uint8_t* data) {
    convertedFrames_.resize(std::size_t(header_.frameCount));
    const std::uint8_t* frame = data + header_.framesOffset;
    for (ConvertedFrame& converted : convertedFrames_) {
        float scale[3], translate[3];
        for (int k = 0; k < 3; ++k) {
            scale[k] = readFloat(frame + 4 * k);
            translate[k] = readFloat(frame + 12 + 4 * k);
        }
        const char* name = reinterpret_cast<const char*>(frame + 24);
        converted.name.assign(name, strnlen(name, FRAME_NAME_SIZE));
        converted.vertices.resize(std::size_t(header_.vertexCount));
        const std::uint8_t* packed = frame + FRAME_HEADER_SIZE;
        for (Vec3f& v : converted.vertices) {
            v.x = float(packed[0]) * scale[0] + translate[0];
            v.y = float(packed[2]) * scale[2] + translate[2];
            v.z = -(float(packed[1]) * scale[1] + translate[1]);
            packed += PACKED_VERTEX_SIZE;
        }
        frame += header_.frameSize;
    }
}

void Md2Loader::buildModel(Model& model) {
    model.clear();
    model.frameCount = header_.frameCount;
    std::vector<std::string> names;
    names.reserve(convertedFrames_.size());
    for (const ConvertedFrame& f : convertedFrames_)
        names.push_back(f.name);
    model.animations = groupAnimations(names);
    model.animationCount = int(model.animations.size());
    model.frames.resize(convertedFrames_.size());
    for (std::size_t i = 0; i < convertedFrames_.size(); ++i) {
        FrameMesh& mesh = model.frames[i];
        mesh.vertexCount = header_.vertexCount;
        mesh.faceCount = header_.triangleCount;
        mesh.texCoordCount = header_.texCoordCount;
        mesh.vertices = std::move(convertedFrames_[i].vertices);
        if (i == 0) {
            mesh.texCoords = rawTexCoords_;
            mesh.faces = rawFaces_;
        }
    }
}

void Md2Loader::releaseRawArrays() {
    rawTexCoords_.clear();
    rawTexCoords_.shrink_to_fit();
    rawFaces_.clear();
    rawFaces_.shrink_to_fit();
    convertedFrames_.clear();
    convertedFrames_.shrink_to_fit();
}
