#include "tools/content/pack.h"

#include "tools/content/creatures.h"
#include "tools/content/models.h"
#include "tools/content/noise.h"
#include "tools/content/terrain.h"
#include "tools/content/textures.h"

#include <filesystem>
#include <fstream>
#include <map>

namespace content {
namespace {

bool writeImage(const std::string& path, const Image& image) {
    return writeFile(path, encodeBmp(image));
}

bool writeAll(const std::string& dir, const std::vector<NamedImage>& images) {
    for (const NamedImage& n : images)
        if (!writeImage(dir + "/" + n.file, n.image)) return false;
    return true;
}

} // namespace

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path p(path);
    std::error_code ec;
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

bool writeTerrainFiles(const std::string& dir, std::uint32_t seed, std::ostream& log) {
    TerrainMaps maps = generateTerrain(subSeed(seed, "terrain"));
    log << "terrain: " << maps.towns.size() << " towns, about "
        << int(maps.slopeBlockedFraction * 1000) / 10.0 << " % of the ground too steep to walk"
        << std::endl;
    return writeFile(dir + "/terrain.dat", encodeHeightFile(maps.raw)) &&
           writeImage(dir + "/dirt.bmp", maps.dirt) &&
           writeImage(dir + "/townmap.bmp", maps.townmap) &&
           writeImage(dir + "/dummylight65.bmp", greyImage(65, 200)) &&
           writeImage(dir + "/dummylight128.bmp", greyImage(128, 200));
}

bool writeTextureFiles(const std::string& dir, std::uint32_t seed) {
    return writeAll(dir, worldTextures(seed)) && writeAll(dir, spriteTextures(seed)) &&
           writeAll(dir, splashImages(seed)) && writeAll(dir, skyFaces(seed));
}

bool writeModelFiles(const std::string& dir, std::uint32_t seed, std::ostream& log) {
    std::uint32_t s = subSeed(seed, "models");
    for (int i = 0; i < DECOR_MODELS; ++i) {
        Md2Data md2 = decorMd2(i, s);
        if (!writeFile(dir + "/models/decor/" + decorName(i) + ".md2", encodeMd2(md2)))
            return false;
        log << "decor " << decorName(i) << ": " << md2.triangles.size() << " triangles"
            << std::endl;
    }
    for (int i = 0; i < DECOR_SKINS; ++i)
        if (!writeImage(dir + "/models/decor/" + decorSkinFile(i), decorSkin(i, s))) return false;
    std::map<std::string, Creature> built;
    for (const ActorModel& m : actorModels()) {
        auto it = built.find(m.builder);
        if (it == built.end()) it = built.emplace(m.builder, buildCreature(m.builder, s)).first;
        const Creature& c = it->second;
        Md2Data md2 = creatureMd2(c, m.isWeapon, m.skinFiles[0]);
        if (!writeFile(dir + "/models/actors/" + m.name + ".md2", encodeMd2(md2))) return false;
        for (std::size_t k = 0; k < m.skinFiles.size(); ++k)
            if (!writeImage(dir + "/models/actors/" + m.skinFiles[k], paintSkin(c, int(k))))
                return false;
        log << "actor " << m.name << ": " << md2.triangles.size() << " triangles, animations";
        for (const AnimationSpec& a : c.animations)
            log << " " << a.name;
        log << std::endl;
    }
    return true;
}

bool writePack(const std::string& dir, std::uint32_t seed, std::ostream& log) {
    bool ok = writeTerrainFiles(dir, seed, log) && writeTextureFiles(dir, seed) &&
              writeModelFiles(dir, seed, log);
    if (!ok) log << "ERROR: could not write the pack into " << dir << std::endl;
    return ok;
}

} // namespace content
