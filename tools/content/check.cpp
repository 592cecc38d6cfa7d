#include "tools/content/check.h"

#include "tools/content/animation.h"
#include "tools/content/creatures.h"
#include "tools/content/image.h"
#include "tools/content/md2file.h"
#include "tools/content/models.h"
#include "tools/content/slots.h"
#include "tools/content/terrain.h"

#include "actor/creatures.h"

#include "core/random.h"
#include "platform/win.h"
#include "render/engine.h"
#include "terrain/terrain.h"

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
    std::vector<ModelAnimation> animations;
};

// Strips the game's "Data/" prefix from a table's file name.
std::string underData(const std::string& path) {
    return path.rfind("Data/", 0) == 0 ? path.substr(5) : path;
}

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

    // A model file read with our own strict reader, then with the engine's
    // loader into its model table (which the slot set-up searches).
    const LoadedModel& model(int index) {
        auto it = models.find(index);
        if (it != models.end()) return it->second;
        std::string file = std::string("models/") + modelFileName(index);
        LoadedModel m;
        std::vector<std::uint8_t> bytes;
        Md2Header header;
        std::string error;
        if (!readFile(dir + "/" + file, bytes)) {
            problem(file + ": missing or unreadable");
        } else if (!decodeMd2(bytes, header, m.data, error)) {
            problem(file + ": " + error);
        } else if (engineLoader.parse(g_engine.models[index], bytes.data(), bytes.size(), file) !=
                   Md2Result::Loaded) {
            problem(file + ": the engine's loader refuses it (" + engineLoader.lastError() + ")");
        } else {
            m.ok = true;
            if (header.skinWidth != 256 || header.skinHeight != 256)
                problem(file + ": skin size " + std::to_string(header.skinWidth) + " x " +
                        std::to_string(header.skinHeight) + ", expected 256 x 256");
            for (const Md2Frame& f : m.data.frames)
                m.frameNames.push_back(f.name);
            m.animations = g_engine.models[index].animations;
        }
        return models.emplace(index, std::move(m)).first->second;
    }

    void terrainFiles() {
        std::vector<std::uint8_t> bytes;
        if (!readFile(dir + "/terrain.dat", bytes))
            problem("terrain.dat: missing or unreadable");
        else if (bytes.size() != std::size_t(MAP_SAMPLES) * 2)
            problem("terrain.dat: " + std::to_string(bytes.size()) + " bytes, expected " +
                    std::to_string(std::size_t(MAP_SAMPLES) * 2));
        else
            heightRange(bytes);
        bitmap("dirt.bmp", MAP_SIDE, MAP_SIDE);
        bitmap("townmap.bmp", PAGES, PAGES);
        bitmap("dummylight65.bmp", 65, 65);
        bitmap("dummylight128.bmp", 128, 128);
    }

    // The build scales its height curve by the largest sample it reads.
    void heightRange(const std::vector<std::uint8_t>& bytes) {
        int highest = 0;
        for (std::size_t i = 0; i < std::size_t(MAP_SAMPLES); ++i) {
            int raw = bytes[i * 2] << 8 | bytes[i * 2 + 1];
            if (raw != 0xFFFF) highest = std::max(highest, raw);
        }
        if (highest != RAW_MAX)
            problem("terrain.dat: highest sample " + std::to_string(highest) + ", expected " +
                    std::to_string(RAW_MAX) + " (the hills would not reach their heights)");
    }

    void images() {
        for (int i = 0; i < WORLD_TEXTURE_COUNT; ++i)
            if (!worldTextureFileName(i).empty())
                bitmap(underData(worldTextureFileName(i)), 256, 256);
        for (int k = 0; k < 6; ++k)
            bitmap("sprite" + std::to_string(k) + ".bmp", 256, 256);
        for (int k = 1; k <= 3; ++k)
            bitmap("splash" + std::to_string(k) + ".bmp", 0, 0);
        for (int k = 0; k < 6; ++k)
            bitmap("sky/sky3_" + std::to_string(k) + ".bmp", 256, 256);
        for (int i = 0; i < SKIN_TEXTURE_COUNT; ++i) {
            std::string file = skinFileName(i);
            Image img;
            if (file.empty() || !bitmap(underData(file), 256, 256, &img) || i != 0) continue;
            // The big tree's foliage is cut out where its skin is pure black.
            std::size_t keyed = 0;
            for (std::size_t p = 0; p < img.pixels.size(); p += 3)
                keyed += img.pixels[p] == 0 && img.pixels[p + 1] == 0 && img.pixels[p + 2] == 0;
            if (keyed == 0)
                problem(underData(file) + ": no pure black texels for the transparent key");
        }
    }

    void decor() {
        for (int i = 0; i < DECOR_MODELS; ++i) {
            const LoadedModel& m = model(i);
            if (!m.ok || m.data.frames.empty()) continue;
            double lo = 1e30, hi = -1e30;
            for (const Vec3& p : m.data.frames[0].vertices)
                lo = std::min(lo, p.z), hi = std::max(hi, p.z);
            double height = (hi - std::min(lo, 0.0)) * 0.125;
            std::string file = std::string("models/") + modelFileName(i);
            if (std::fabs(lo) > 1.0) problem(file + ": base at z " + fmt(lo) + ", expected 0");
            if ((i == 0 || i == 12) && (height < 25 || height > 45))
                problem(file + ": a tree " + fmt(height) + " units tall, expected 25 to 45");
        }
    }

    void actors() {
        for (const ActorModel& a : actorModels()) {
            std::string file = "models/actors/" + a.name + ".md2";
            const LoadedModel& m = model(a.modelIndex);
            if (!m.ok) continue;
            int triangles = int(m.data.triangles.size());
            if (!a.isWeapon && (triangles < 200 || triangles > 1500))
                problem(file + ": " + std::to_string(triangles) +
                        " triangles, expected 200 to 1500");
            animationList(file, m);
        }
        for (const ActorModel& w : actorModels()) {
            if (!w.isWeapon) continue;
            for (const ActorModel& body : actorModels())
                if (!body.isWeapon && body.name == w.builder) {
                    const LoadedModel &wm = model(w.modelIndex), &bm = model(body.modelIndex);
                    if (wm.ok && bm.ok && wm.frameNames != bm.frameNames)
                        problem("models/actors/" + w.name + ".md2: frame list differs from " +
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
        for (const ModelAnimation& r : m.animations) {
            if (motionKinds(r.name) == 0) problem(file + ": unknown animation " + r.name);
            if (r.startFrame < 0 || r.endFrame <= r.startFrame)
                problem(file + ": animation " + r.name + " has frames " +
                        std::to_string(r.startFrame) + " to " + std::to_string(r.endFrame));
        }
    }

    // The engine's slot set-up over the models just loaded: each slot's five
    // animations (and its weapon's) must name the right motion.
    void slots() {
        std::map<int, bool> sized;
        for (const SlotView& view : engineSlots()) {
            std::string where = "slot " + std::to_string(view.slot);
            const LoadedModel& m = model(view.model);
            if (!m.ok) continue;
            const ModelSlot& s = *view.entry;
            const std::pair<const char*, std::pair<int, unsigned>> body[5] = {
                {"idle", {s.idleAnimation, KIND_IDLE}},
                {"pain", {s.painAnimation, KIND_PAIN}},
                {"death", {s.deathAnimation, KIND_DEATH}},
                {"walk", {s.walkAnimation, KIND_WALK}},
                {"attack", {s.attackAnimation, KIND_ATTACK}}};
            for (const auto& [role, entry] : body)
                expectKind(where, role, entry.first, entry.second, m);
            if (view.weaponModel >= 0) {
                const LoadedModel& w = model(view.weaponModel);
                const char* roles[5] = {"weapon idle", "weapon walk", "weapon pain",
                                        "weapon attack", "weapon death"};
                const unsigned kinds[5] = {KIND_IDLE, KIND_WALK, KIND_PAIN, KIND_ATTACK,
                                           KIND_DEATH};
                for (int k = 0; k < 5; ++k)
                    if (s.weaponAnimations[k] != -1 && w.ok)
                        expectKind(where, roles[k], s.weaponAnimations[k], kinds[k], w);
            }
            bool weaponAlone = false;
            for (const ActorModel& a : actorModels())
                weaponAlone |= a.modelIndex == view.model && a.isWeapon;
            if (weaponAlone) {
                note(where + ": shows a weapon model on its own");
            } else if (!sized[view.model]) {
                sized[view.model] = true;
                standing(where, s, m);
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

    // Feet on the ground while walking, a plausible height, and a death that
    // ends lying down, all as the slot draws the model at ground + 7.
    void standing(const std::string& where, const ModelSlot& slot, const LoadedModel& m) {
        auto valid = [&](int a) { return a >= 0 && a < int(m.animations.size()); };
        if (!valid(slot.walkAnimation) || !valid(slot.idleAnimation) || !valid(slot.deathAnimation))
            return;
        auto worldRange = [&](int frame, double& lo, double& hi) {
            lo = 1e30, hi = -1e30;
            for (const Vec3& p : m.data.frames[frame].vertices) {
                double z = slot.halfHeight + slot.zOffset + slot.scale * p.z;
                lo = std::min(lo, z), hi = std::max(hi, z);
            }
        };
        const ModelAnimation& walk = m.animations[slot.walkAnimation];
        const ModelAnimation& idle = m.animations[slot.idleAnimation];
        const ModelAnimation& death = m.animations[slot.deathAnimation];
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
        if (slot.deathAnimation == slot.idleAnimation) {
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

    // The five roles of every creature type's slot are motions a person would
    // take for what they are called: idle stays in place, walk moves the feet,
    // attack and pain move the body without felling it, death ends lying low.
    void creatureMotions() {
        g_creatures.initCreatureTypes();
        for (int t = 0; t < CREATURE_TYPE_COUNT; ++t) {
            int slotIndex = g_creatures.types[t].slot;
            const ModelSlot& s = g_modelSlots[slotIndex];
            std::string where =
                "creature type " + std::to_string(t) + " (slot " + std::to_string(slotIndex) + ")";
            int index = modelIndexOf(s.model);
            if (index < 0) {
                problem(where + ": the slot shows no model");
                continue;
            }
            const LoadedModel& m = model(index);
            if (m.ok) MotionCheck{*this, where, s, m, 0.0, {}, {}}.run();
        }
    }

    // The motions of one slot, measured on the model's vertices against its
    // height in the first idle frame.
    struct MotionCheck {
        Checker& checker;
        const std::string& where;
        const ModelSlot& slot;
        const LoadedModel& m;
        double height = 0;
        std::vector<std::size_t> feet; // the lowest vertices of the idle pose
        std::string figures;           // what was measured, in % of the height

        const std::vector<Vec3>& frame(int f) const {
            return m.data.frames[std::size_t(f)].vertices;
        }
        bool valid(int a) const {
            if (a < 0 || a >= int(m.animations.size())) return false;
            const ModelAnimation& r = m.animations[std::size_t(a)];
            return r.startFrame >= 0 && r.endFrame > r.startFrame &&
                   r.endFrame <= int(m.data.frames.size());
        }
        static double span(const std::vector<Vec3>& v) {
            double lo = 1e30, hi = -1e30;
            for (const Vec3& p : v)
                lo = std::min(lo, p.z), hi = std::max(hi, p.z);
            return hi - lo;
        }
        static double apart(const Vec3& a, const Vec3& b) {
            return std::hypot(a.x - b.x, a.y - b.y);
        }
        // Farthest any of `which` (every vertex when empty) moves across the
        // animation from where it is in `from`, horizontally or in space.
        double travel(int a, const std::vector<Vec3>& from, const std::vector<std::size_t>& which,
                      bool horizontal) const {
            const ModelAnimation& r = m.animations[std::size_t(a)];
            double most = 0;
            for (int f = r.startFrame; f < r.endFrame; ++f) {
                const std::vector<Vec3>& v = frame(f);
                auto one = [&](std::size_t i) {
                    double d = horizontal ? apart(v[i], from[i])
                                          : std::hypot(apart(v[i], from[i]), v[i].z - from[i].z);
                    most = std::max(most, d);
                };
                if (which.empty())
                    for (std::size_t i = 0; i < v.size(); ++i)
                        one(i);
                else
                    for (std::size_t i : which)
                        one(i);
            }
            return most;
        }
        // Lowest height of the body over the animation, against the standing height.
        double lowestStature(int a) const {
            const ModelAnimation& r = m.animations[std::size_t(a)];
            double least = 1e30;
            for (int f = r.startFrame; f < r.endFrame; ++f)
                least = std::min(least, span(frame(f)) / height);
            return least;
        }
        void measured(const char* role, double share) {
            figures +=
                std::string(figures.empty() ? "" : ", ") + role + " " + fmt(share * 100) + " %";
        }
        void fail(const char* role, const std::string& what) const {
            checker.problem(where + ": " + role + " " + what);
        }

        void run() {
            for (int a : {slot.idleAnimation, slot.walkAnimation, slot.attackAnimation,
                          slot.painAnimation, slot.deathAnimation})
                if (!valid(a)) return; // the slot check has named it
            const std::vector<Vec3>& rest =
                frame(m.animations[std::size_t(slot.idleAnimation)].startFrame);
            height = span(rest);
            if (height <= 0) return;
            double lo = 1e30;
            for (const Vec3& p : rest)
                lo = std::min(lo, p.z);
            for (std::size_t i = 0; i < rest.size(); ++i)
                if (rest[i].z <= lo + 0.08 * height) feet.push_back(i);
            idle(rest);
            walk(rest);
            struck("attack", slot.attackAnimation, 0.15);
            struck("pain", slot.painAnimation, 0.05);
            death();
            checker.note(where + ": " + figures + " of its height");
        }
        void idle(const std::vector<Vec3>& rest) {
            double feetMove = travel(slot.idleAnimation, rest, feet, true);
            measured("idle feet", feetMove / height);
            if (feetMove > 0.05 * height)
                fail("idle", "moves its feet " + fmt(feetMove / height * 100) +
                                 " % of its height; it should stay in place");
        }
        void walk(const std::vector<Vec3>& rest) {
            double stride = travel(slot.walkAnimation, rest, feet, true);
            measured("walking feet", stride / height);
            if (stride < 0.18 * height)
                fail("walk", "moves its feet only " + fmt(stride / height * 100) +
                                 " % of its height, expected 18 % or more");
        }
        void struck(const char* role, int a, double least) {
            const std::vector<Vec3>& first = frame(m.animations[std::size_t(a)].startFrame);
            double most = travel(a, first, {}, false);
            measured(role, most / height);
            if (most < least * height)
                fail(role, "moves no part more than " + fmt(most / height * 100) +
                               " % of its height, expected " + fmt(least * 100) + " %");
            double stature = lowestStature(a);
            if (stature < 0.6)
                fail(role, "brings the body down to " + fmt(stature * 100) +
                               " % of its height; it should stay on its feet");
        }
        void death() {
            const ModelAnimation& r = m.animations[std::size_t(slot.deathAnimation)];
            double end = span(frame(r.endFrame - 1)) / height;
            measured("death end", end);
            if (end > 0.6)
                fail("death",
                     "ends " + fmt(end * 100) +
                         " % of the standing height high, expected lying at 60 % or lower");
        }
    };

    // The engine's own terrain build over the folder, without a window, with
    // a fixed seed for its random objects.
    void terrainBuild() {
        crt::srand(1);
        TerrainBuildOptions options;
        options.dataDir = dir;
        TerrainList list;
        list.build(options);
        list.finishPages();
        if (list.pageCount != MAP_PAGES * MAP_PAGES) {
            problem("terrain: the build made " + std::to_string(list.pageCount) + " pages");
            return;
        }
        std::size_t cells = 0, blocked = 0, steep = 0;
        for (const TerrainPage* p = list.head; p; p = p->next)
            for (int i = 0; i < PAGE_CELLS; ++i)
                for (int j = 0; j < PAGE_CELLS; ++j) {
                    ++cells;
                    blocked += p->blocked[i][j] != 0;
                    steep += p->slope[i][j] >= 0.75f;
                }
        double steepShare = double(steep) / cells, blockedShare = double(blocked) / cells;
        note("terrain: the engine's build blocks " + fmt(blockedShare * 100) + " % of the cells, " +
             fmt(steepShare * 100) + " % by slope; TERRAIN_MAX_HEIGHT " +
             std::to_string(TERRAIN_MAX_HEIGHT));
        if (steepShare < 0.03 || steepShare > 0.20)
            problem("terrain: " + fmt(steepShare * 100) +
                    " % of the cells are blocked by slope, expected 3 to 20 %");
        const TerrainPage* start = list.pageAt(START_X, START_Y);
        if (!start || start->blocked[start->cellX(START_X)][start->cellY(START_Y)]) {
            problem("terrain: the start point (6366, 5549) is blocked");
            return;
        }
        int steepNear = 0, objectsNear = 0;
        for (double y = START_Y - 100; y <= START_Y + 100; y += CELL_UNITS)
            for (double x = START_X - 100; x <= START_X + 100; x += CELL_UNITS) {
                if (std::hypot(x - START_X, y - START_Y) > 100) continue;
                const TerrainPage* p = list.pageAt(x, y);
                if (!p) continue;
                int i = p->cellX(x), j = p->cellY(y);
                if (p->slope[i][j] >= 0.75f)
                    ++steepNear;
                else if (p->blocked[i][j])
                    ++objectsNear;
            }
        if (steepNear)
            problem("terrain: " + std::to_string(steepNear) +
                    " cells within 100 units of the start are too steep");
        note("terrain: " + std::to_string(objectsNear) +
             " cells within 100 units of the start are taken by buildings or decor");
    }

  private:
    std::string dir;
    std::map<int, LoadedModel> models;
    Md2Loader engineLoader;
};

} // namespace

CheckReport checkPack(const std::string& dir) {
    // The engine's loader reports refused files in message boxes; here they
    // become problem lines instead.
    win::SetMessageBoxAnswerer([](const win::MessageBoxRecord&) { return win::IDOK; });
    Checker c(dir);
    c.terrainFiles();
    c.images();
    c.decor();
    c.actors();
    c.slots();
    c.creatureMotions();
    c.terrainBuild();
    win::SetMessageBoxAnswerer(nullptr);
    return c.report;
}

} // namespace content
