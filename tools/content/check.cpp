#include "tools/content/check.h"

#include "tools/content/animation.h"
#include "tools/content/creatures.h"
#include "tools/content/image.h"
#include "tools/content/md2file.h"
#include "tools/content/models.h"
#include "tools/content/slots.h"
#include "tools/content/terrain.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace content {
namespace {

constexpr std::size_t MAX_READ = 64u << 20;

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || std::size_t(size) > MAX_READ) return false;
    in.seekg(0);
    bytes.resize(std::size_t(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    return bool(in);
}

std::string fmt(double v) {
    std::ostringstream s;
    s.precision(3);
    s << v;
    return s.str();
}

struct LoadedModel {
    bool ok = false;
    Md2Data data;
    std::vector<std::string> frameNames;
    std::vector<AnimationRange> animations;
};

class Checker {
  public:
    explicit Checker(const std::string& dir) : dir(dir) {}
    CheckReport report;

    void problem(const std::string& line) { report.problems.push_back(line); }
    void note(const std::string& line) { report.notes.push_back(line); }

    // A 24-bit bitmap of the given size (0 = any size).
    bool bitmap(const std::string& file, int width, int height, Image* out = nullptr) {
        std::vector<std::uint8_t> bytes;
        if (!readFile(dir + "/" + file, bytes)) {
            problem(file + ": missing or unreadable");
            return false;
        }
        Image img;
        std::string error;
        if (!decodeBmp(bytes, img, error)) {
            problem(file + ": " + error);
            return false;
        }
        if ((width && img.width != width) || (height && img.height != height)) {
            problem(file + ": " + std::to_string(img.width) + " x " + std::to_string(img.height) +
                    ", expected " + std::to_string(width) + " x " + std::to_string(height));
            return false;
        }
        if (out) *out = std::move(img);
        return true;
    }

    const LoadedModel& model(const std::string& file) {
        auto it = models.find(file);
        if (it != models.end()) return it->second;
        LoadedModel m;
        std::vector<std::uint8_t> bytes;
        Md2Header header;
        std::string error;
        if (!readFile(dir + "/" + file, bytes)) {
            problem(file + ": missing or unreadable");
        } else if (!decodeMd2(bytes, header, m.data, error)) {
            problem(file + ": " + error);
        } else {
            m.ok = true;
            if (header.skinWidth != 256 || header.skinHeight != 256)
                problem(file + ": skin size " + std::to_string(header.skinWidth) + " x " +
                        std::to_string(header.skinHeight) + ", expected 256 x 256");
            for (const Md2Frame& f : m.data.frames)
                m.frameNames.push_back(f.name);
            m.animations = groupFrames(m.frameNames);
        }
        return models.emplace(file, std::move(m)).first->second;
    }

    void terrainFiles() {
        std::vector<std::uint8_t> bytes;
        if (!readFile(dir + "/terrain.dat", bytes))
            problem("terrain.dat: missing or unreadable");
        else if (bytes.size() != std::size_t(MAP_SAMPLES) * 2)
            problem("terrain.dat: " + std::to_string(bytes.size()) + " bytes, expected " +
                    std::to_string(std::size_t(MAP_SAMPLES) * 2));
        else
            terrainEstimate(bytes);
        bitmap("dirt.bmp", MAP_SIDE, MAP_SIDE);
        bitmap("townmap.bmp", PAGES, PAGES);
        bitmap("dummylight65.bmp", 65, 65);
        bitmap("dummylight128.bmp", 128, 128);
    }

    // The share of steep ground from the file through the height curve; the
    // engine's own build (objects, fill and clean passes) is not run here.
    void terrainEstimate(const std::vector<std::uint8_t>& bytes) {
        std::vector<float> heights(MAP_SAMPLES);
        int highest = 0;
        for (std::size_t i = 0; i < heights.size(); ++i) {
            int raw = bytes[i * 2] << 8 | bytes[i * 2 + 1];
            if (raw == 0xFFFF) raw = 0;
            highest = std::max(highest, raw);
            heights[i] = float(builtHeight(raw));
        }
        if (highest != RAW_MAX)
            problem("terrain.dat: highest sample " + std::to_string(highest) + ", expected " +
                    std::to_string(RAW_MAX) + " (the height curve is scaled by it)");
        double fraction = estimateSlopeBlocked(heights);
        note("terrain: estimate from the height file: " + fmt(fraction * 100) +
             " % of inner cells too steep");
        if (fraction < 0.03 || fraction > 0.20)
            problem("terrain.dat: about " + fmt(fraction * 100) +
                    " % of the ground is too steep, expected 3 to 20 %");
        int sx = int(START_X / CELL_UNITS), sy = int(START_Y / CELL_UNITS),
            reach = int(100 / CELL_UNITS) + 1;
        int steep = 0;
        for (int y = sy - reach; y <= sy + reach; ++y)
            for (int x = sx - reach; x <= sx + reach; ++x) {
                if (std::hypot(x - sx, y - sy) * CELL_UNITS > 100) continue;
                int h = int(heights[sampleIndex(x, y)]);
                int hx = int(heights[sampleIndex(x + 1, y)]),
                    hy = int(heights[sampleIndex(x, y + 1)]);
                if (std::max(std::abs(h - hx), std::abs(h - hy)) >= BLOCKING_STEP) ++steep;
            }
        if (steep)
            problem("terrain.dat: " + std::to_string(steep) +
                    " steep cells within 100 units of the start point");
        note("terrain: the engine's terrain build is not on main yet: blocked fraction and start "
             "point "
             "walkability after its object and fill passes are not checked");
    }

    void images() {
        for (const char* name : {"grass", "rock", "path", "door", "stairs", "chest", "roof"})
            bitmap(std::string(name) + ".bmp", 256, 256);
        for (const char* kind : {"wall", "dungeon", "floor"})
            for (int k = 0; k < 8; ++k)
                bitmap(kind + std::to_string(k) + ".bmp", 256, 256);
        for (int k = 0; k < 6; ++k)
            bitmap("sprite" + std::to_string(k) + ".bmp", 256, 256);
        for (int k = 1; k <= 3; ++k)
            bitmap("splash" + std::to_string(k) + ".bmp", 0, 0);
        for (int k = 0; k < 6; ++k)
            bitmap("sky/sky3_" + std::to_string(k) + ".bmp", 256, 256);
    }

    void decor() {
        for (int i = 0; i < DECOR_MODELS; ++i) {
            std::string file = std::string("models/decor/") + decorName(i) + ".md2";
            const LoadedModel& m = model(file);
            if (!m.ok || m.data.frames.empty()) continue;
            double lo = 1e30, hi = -1e30;
            for (const Vec3& p : m.data.frames[0].vertices)
                lo = std::min(lo, p.z), hi = std::max(hi, p.z);
            double height = (hi - std::min(lo, 0.0)) * 0.125;
            if (std::fabs(lo) > 1.0) problem(file + ": base at z " + fmt(lo) + ", expected 0");
            if ((i == 0 || i == 12) && (height < 25 || height > 45))
                problem(file + ": a tree " + fmt(height) + " units tall, expected 25 to 45");
        }
        for (int i = 0; i < DECOR_SKINS; ++i) {
            Image img;
            if (!bitmap("models/decor/" + decorSkinFile(i), 256, 256, &img) || i != 0) continue;
            std::size_t keyed = 0;
            for (std::size_t p = 0; p < img.pixels.size(); p += 3)
                keyed += img.pixels[p] == 0 && img.pixels[p + 1] == 0 && img.pixels[p + 2] == 0;
            if (keyed == 0)
                problem("models/decor/bigtree.bmp: no pure black texels for the transparent key");
        }
    }

    void actors() {
        for (const ActorModel& a : actorModels()) {
            std::string file = "models/actors/" + a.name + ".md2";
            const LoadedModel& m = model(file);
            for (const std::string& skin : a.skinFiles)
                bitmap("models/actors/" + skin, 256, 256);
            if (!m.ok) continue;
            int triangles = int(m.data.triangles.size());
            if (!a.isWeapon && (triangles < 200 || triangles > 1500))
                problem(file + ": " + std::to_string(triangles) +
                        " triangles, expected 200 to 1500");
            animationList(file, m);
        }
        for (const ActorModel& a : actorModels()) {
            if (!a.isWeapon) continue;
            for (const ActorModel& body : actorModels())
                if (!body.isWeapon && body.name == a.builder) {
                    const LoadedModel& w = model("models/actors/" + a.name + ".md2");
                    const LoadedModel& b = model("models/actors/" + body.name + ".md2");
                    if (w.ok && b.ok && w.frameNames != b.frameNames)
                        problem("models/actors/" + a.name + ".md2: frame list differs from " +
                                body.name + ".md2");
                }
        }
    }

    void animationList(const std::string& file, const LoadedModel& m) {
        const auto& names = m.frameNames;
        if (names.size() < 2) {
            problem(file + ": fewer than two frames");
            return;
        }
        if (names.back() != TRAILER_NAME)
            problem(file + ": the last frame is " + names.back() + ", not the one-frame trailer " +
                    TRAILER_NAME);
        for (const AnimationRange& r : m.animations) {
            if (motionKinds(r.name) == 0) problem(file + ": unknown animation " + r.name);
            if (r.startFrame < 0 || r.endFrame <= r.startFrame)
                problem(file + ": animation " + r.name + " has frames " +
                        std::to_string(r.startFrame) + " to " + std::to_string(r.endFrame));
        }
    }

    void slots() {
        std::map<int, std::string> fileOf;
        for (const ActorModel& a : actorModels())
            fileOf[a.modelIndex] = "models/actors/" + a.name + ".md2";
        std::map<int, bool> sized;
        for (const SlotRow& row : slotTable()) {
            std::string where = "slot " + std::to_string(row.slot);
            if (!fileOf.count(row.model)) {
                problem(where + ": model " + std::to_string(row.model) + " is not in the pack");
                continue;
            }
            const LoadedModel& m = model(fileOf[row.model]);
            if (!m.ok) continue;
            SlotAnimations s = resolveSlot(row, m.animations);
            const std::pair<const char*, std::pair<int, unsigned>> body[5] = {
                {"idle", {s.body.idle, KIND_IDLE}},
                {"pain", {s.body.pain, KIND_PAIN}},
                {"death", {s.body.death, KIND_DEATH}},
                {"walk", {s.body.walk, KIND_WALK}},
                {"attack", {s.body.attack, KIND_ATTACK}}};
            for (const auto& [role, entry] : body)
                expectKind(where, role, entry.first, entry.second, m);
            if (row.weaponModel >= 0 && fileOf.count(row.weaponModel)) {
                const LoadedModel& w = model(fileOf[row.weaponModel]);
                const char* roles[5] = {"weapon idle", "weapon walk", "weapon pain",
                                        "weapon attack", "weapon death"};
                const unsigned kinds[5] = {KIND_IDLE, KIND_WALK, KIND_PAIN, KIND_ATTACK,
                                           KIND_DEATH};
                for (int k = 0; k < 5; ++k)
                    if (s.weapon[k] != -1 && w.ok)
                        expectKind(where, roles[k], s.weapon[k], kinds[k], w);
            }
            bool weaponAlone = false;
            for (const ActorModel& a : actorModels())
                weaponAlone |= a.modelIndex == row.model && a.isWeapon;
            if (weaponAlone) {
                note(where + ": shows a weapon model on its own");
            } else if (!sized[row.model]) {
                sized[row.model] = true;
                standing(where, row, m, s.body);
            }
        }
    }

    void expectKind(const std::string& where, const char* role, int index, unsigned kind,
                    const LoadedModel& m) {
        if (index < 0 || index >= int(m.animations.size())) {
            problem(where + ": " + role + " animation " + std::to_string(index) +
                    " is not in the list of " + std::to_string(m.animations.size()));
            return;
        }
        const std::string& name = m.animations[index].name;
        if (!(motionKinds(name) & kind))
            problem(where + ": " + role + " animation " + std::to_string(index) + " is " + name);
    }

    // Feet on the ground while walking, a plausible height, and a death that ends lying down.
    void standing(const std::string& where, const SlotRow& row, const LoadedModel& m,
                  const StandardAnimations& a) {
        auto worldRange = [&](int frame, double& lo, double& hi) {
            lo = 1e30, hi = -1e30;
            for (const Vec3& p : m.data.frames[frame].vertices) {
                double z = SLOT_HALF_HEIGHT + row.zOffset + row.scale * p.z;
                lo = std::min(lo, z), hi = std::max(hi, z);
            }
        };
        const AnimationRange& walk = m.animations[a.walk];
        const AnimationRange& idle = m.animations[a.idle];
        const AnimationRange& death = m.animations[a.death];
        double lo, hi;
        worldRange(idle.startFrame, lo, hi);
        double height = hi - lo;
        bool hovers = lo > 2.0;
        note(where + ": " + fmt(height) + " units tall, lowest point " + fmt(lo) +
             " above the ground");
        if (height < 3 || height > 36) problem(where + ": " + fmt(height) + " units tall");
        if (!hovers)
            for (int f = walk.startFrame; f < walk.endFrame; ++f) {
                worldRange(f, lo, hi);
                if (std::fabs(lo) > 0.35) {
                    problem(where + ": walking feet " + fmt(lo) +
                            " units off the ground in frame " + std::to_string(f));
                    break;
                }
            }
        if (a.death == a.idle) {
            note(where + ": plays one animation as its idle and its death");
            return;
        }
        worldRange(death.endFrame - 1, lo, hi);
        if (std::fabs(lo) > 0.5)
            problem(where + ": the death ends " + fmt(lo) + " units off the ground");
        // A floating head has no upright pose to fall from; it only has to come down.
        if (!hovers && hi - lo > height * 0.75)
            problem(where + ": the death ends " + fmt(hi - lo) + " units high, not lying down");
    }

  private:
    std::string dir;
    std::map<std::string, LoadedModel> models;
};

} // namespace

CheckReport checkPack(const std::string& dir) {
    Checker c(dir);
    c.terrainFiles();
    c.images();
    c.decor();
    c.actors();
    c.slots();
    return c.report;
}

} // namespace content
