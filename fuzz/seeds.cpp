// Writes the starting inputs of the fuzz targets that the content pack does
// not provide: bitmaps of every kind the reader takes, a small model, short
// height files, and sample records in file form (LF and CR LF) and in the
// record tool's text form.
//
// usage: zeb-fuzz-seeds DIR   (writes DIR/bmp, DIR/md2, DIR/heights, ...)
#include "records/record_text.h"
#include "tests/model/md2_builder.h"
#include "tests/render/bmp_writer.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

fs::path seedDir;

void writeSeed(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(seedDir / target);
    std::ofstream(seedDir / target / name, std::ios::binary) << bytes;
}

std::string asText(const std::vector<unsigned char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void writeBitmaps() {
    int n = 0;
    for (const bmptest::Variant& kind : bmptest::KINDS)
        writeSeed("bmp", "kind" + std::to_string(n++), asText(bmptest::encodeBmp(kind, 9, 4)));
}

void writeModel() {
    md2test::File file;
    for (int i = 0; i < 4; ++i)
        file.texCoords.push_back({std::int16_t(i * 60), std::int16_t(255 - i * 60)});
    for (int i = 0; i < 4; ++i) {
        md2test::Triangle t;
        for (int k = 0; k < 3; ++k)
            t.vertex[k] = t.texCoord[k] = std::int16_t((i + k) % 4);
        file.triangles.push_back(t);
    }
    for (const char* name : {"stand01", "stand02", "run01", "pain101"})
        file.frames.push_back(md2test::frame(name, 4));
    const auto bytes = file.bytes();
    writeSeed("md2", "small", std::string(bytes.begin(), bytes.end()));
}

void writeHeights() {
    writeSeed("heights", "empty", "");
    std::string ramp;
    for (int i = 0; i < 512; ++i)
        ramp += {char(i >> 1), char(i * 7)};
    writeSeed("heights", "ramp", ramp);
    writeSeed("heights", "missing", std::string(64, '\xFF'));
}

template <class R> std::string fileForm(const R& record) {
    std::ostringstream out;
    {
        records::FileWriter writer(out);
        R::fields(record, writer);
    }
    return out.str();
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

template <class R> void writeRecord(const R& record, int kindIndex) {
    const std::string target = std::string("records_") + R::KIND.name;
    writeSeed(target, "lf", fileForm(record));
    writeSeed(target, "crlf", withCrLf(fileForm(record)));
    std::ostringstream text;
    records::printRecordText(record, text);
    writeSeed("record_text", R::KIND.name, std::string(1, char(kindIndex)) + text.str());
}

void writeRecords() {
    StoryRecord story;
    std::strcpy(story.w1, "ab"), std::strcpy(story.w2, "cde");
    std::strcpy(story.text, "Once upon a time");
    story.entryCount = 4;
    for (StoryEntry& e : story.entries)
        std::strcpy(e.key, "k"), std::strcpy(e.text, "an entry");
    writeRecord(story, 0);
    SkillRecord skill;
    std::strcpy(skill.name, "Sword Play");
    skill.s1 = 1, skill.s4 = -4;
    writeRecord(skill, 1);
    QuestRecord quest;
    std::strcpy(quest.name, "Lost Amulet");
    std::strcpy(quest.w1, "a"), std::strcpy(quest.w2, "b"), std::strcpy(quest.w3, "c"),
        std::strcpy(quest.w4, "d");
    quest.i2 = 70000;
    writeRecord(quest, 2);
    ItemRecord item;
    std::strcpy(item.name, "Long Sword");
    std::strcpy(item.code, "AB C");
    item.f1 = 1.5f, item.damageDice = 2, item.damageSides = 6;
    writeRecord(item, 3);
    NPCRecord npc;
    std::strcpy(npc.name, "Cave Troll");
    npc.f6 = 3.14159f, npc.health = 20;
    for (int v : {5, 6, 7})
        npc.list.append(v);
    writeRecord(npc, 4);
    ObjectRecord object;
    std::strcpy(object.name, "Old Chest");
    std::strcpy(object.name2, "lid");
    object.f5 = -2.5f, object.i7 = 9;
    writeRecord(object, 5);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: zeb-fuzz-seeds DIR" << std::endl;
        return 2;
    }
    seedDir = argv[1];
    writeBitmaps();
    writeModel();
    writeHeights();
    writeRecords();
    return 0;
}
