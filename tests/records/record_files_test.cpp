#include "record_dir.h"

#include "records/records.h"

#include <cstring>
#include <vector>

// Every kind's stored members and line layout are proven through the record
// tool (record_tool_test.cpp); these are the reader's and writer's refusals
// and edges, CR LF files among them.
namespace {

std::vector<int> values(const IntList& list) {
    std::vector<int> result;
    for (const IntNode* n = list.head; n; n = n->next)
        result.push_back(n->value);
    return result;
}

NPCRecord npc(std::initializer_list<int> list) {
    NPCRecord r;
    std::strcpy(r.id, "4");
    std::strcpy(r.name, "Cave Troll");
    for (int v : list)
        r.list.append(v);
    return r;
}

TEST_F(RecordDir, NpcListEndsWithMinusOneAndLoadingReplacesTheList) {
    NPCRecord stored = npc({});
    stored.experienceValue = 99; // combat's own member: never stored
    ASSERT_TRUE(stored.save());
    const std::string file = readFile("4.npc");

    NPCRecord back = npc({42}); // a list left from before must not be kept
    ASSERT_TRUE(loadId(back, "4"));
    EXPECT_TRUE(back.list.empty());
    EXPECT_EQ(back.experienceValue, 0);

    // Without the final -1 the list ends at the end of the file; a value that
    // does not parse ends it too, but the file is bad.
    const std::string body = file.substr(0, file.size() - 3);
    const struct {
        std::string tail;
        bool loads;
        std::vector<int> list;
    } cases[] = {{"8\n9", true, {8, 9}}, {"8\nx\n-1\n", false, {8}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        EXPECT_EQ(loadFile(back, "4.npc", body + c.tail), c.loads);
        EXPECT_EQ(values(back.list), c.list);
    }
}

TEST_F(RecordDir, OverlongOrBadValuesStopReadingAndKeepLaterFields) {
    SkillRecord r;
    r.s1 = 77;
    std::strcpy(r.name, "before");
    EXPECT_FALSE(loadFile(r, "1.skl", std::string(30, 'n') + "\n1\n2\n3\n4\n"));
    EXPECT_STREQ(r.name, "before");
    EXPECT_EQ(r.s1, 77);

    QuestRecord q;
    EXPECT_FALSE(loadFile(q, "2.qst", "Quest\nab\ncd\ntoolong\n1\n2\nw\n"));
    EXPECT_STREQ(q.w2, "cd");
    EXPECT_STREQ(q.w3, "") << "a word longer than its field is refused, not cut";
    EXPECT_EQ(q.i1, 0);

    ObjectRecord o;
    o.f5 = 8;
    EXPECT_FALSE(loadFile(o, "3.obt", "Stone\n1 2\n3 4")); // truncated: stops at its end
    EXPECT_EQ(o.f4, 4);
    EXPECT_EQ(o.f5, 8);
}

TEST_F(RecordDir, MissingFilesAndBadRecordNumbersLeaveAllButTheNumber) {
    NPCRecord r = npc({5, 6});
    EXPECT_FALSE(loadId(r, "55"));
    EXPECT_STREQ(r.id, "55");
    EXPECT_STREQ(r.name, "Cave Troll");
    EXPECT_EQ(values(r.list), (std::vector<int>{5, 6}));
    EXPECT_EQ(errors.str(), "");

    // Numbers longer than four or with slashes are refused before any file is read.
    writeFile("1234.skl", "Name\n1\n2\n3\n4\n");
    SkillRecord s;
    std::strcpy(s.id, "9");
    for (const char* number : {"12345", "../x", "a\\b"}) {
        EXPECT_FALSE(loadId(s, number));
        EXPECT_STREQ(s.id, "9") << number;
    }
    EXPECT_NE(errors.str().find("Record number refused: 12345"), std::string::npos);
    EXPECT_TRUE(loadId(s, "1234"));
    EXPECT_EQ(s.s4, 4);
}

TEST_F(RecordDir, SaveRefusesWhatWouldNotReadBackAndReportsAFailedWrite) {
    QuestRecord quest; // empty words would shift every later value on reading
    std::strcpy(quest.id, "8");
    EXPECT_FALSE(quest.save());
    EXPECT_FALSE(npc({1, -1}).save());
    EXPECT_NE(errors.str().find("list holds -1"), std::string::npos);
    SkillRecord unnamed; // an empty id would name the file ".skl"
    EXPECT_FALSE(unnamed.save());
    EXPECT_EQ(output.str(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir));

    SkillRecord r;
    std::strcpy(r.id, "6.sk"); // the file name "6.sk.skl" made into a directory
    std::filesystem::create_directory("6.sk.skl");
    EXPECT_FALSE(r.save());
    EXPECT_EQ(output.str(), "Saving to 6.sk.skl\n");
}

// A name filling its field exactly still fits when CR LF follows it, a CR
// inside a line is text, and a last line may end in CR alone.
TEST_F(RecordDir, CrLfEdgesOfLineFields) {
    SkillRecord skill;
    EXPECT_TRUE(loadFile(skill, "8.skl", std::string(29, 'n') + "\r\n1\r\n2\r\n3\r\n4\r\n"));
    EXPECT_EQ(std::string(skill.name), std::string(29, 'n'));
    EXPECT_EQ(skill.s4, 4);
    ItemRecord item;
    item.i14 = 77;
    EXPECT_FALSE(loadFile(item, "9.itm",
                          "a\rb\r\n1 2\r\n1\r\n2\r\n3\r\n4\r\n5 6\r\n7\r\n8\r\n9 10\r\n11 12\r\n"
                          "13\r\n14\r\n15\r\nAB\r"))
        << "i14 is missing";
    EXPECT_STREQ(item.name, "a\rb");
    EXPECT_STREQ(item.code, "AB");
    EXPECT_EQ(item.i14, 77);
}

// Damaged files: CRs piled before a line end, NULs inside text. What is read
// from them either saves and reads back the same, or is refused.
TEST_F(RecordDir, PiledCrsAndNulsNeverSaveSomethingElse) {
    SkillRecord skill;
    EXPECT_TRUE(loadFile(skill, "4.skl", "Sword\r\r\n1\r\r\n2\n3\n4\n"));
    EXPECT_STREQ(skill.name, "Sword");
    EXPECT_EQ(skill.s2, 2);
    const char nulInLine[] = "Swo\r\0rd\n1\n2\n3\n4\n";
    const char nulInWord[] = "ab\0cd\nw2\n3\ntext\n0\n";
    SkillRecord damagedSkill;
    StoryRecord damagedStory;
    EXPECT_FALSE(loadFile(damagedSkill, "5.skl", std::string(nulInLine, sizeof nulInLine - 1)))
        << "a NUL in a line field is refused";
    EXPECT_FALSE(loadFile(damagedStory, "5.str", std::string(nulInWord, sizeof nulInWord - 1)))
        << "a NUL in a word is refused";
    // A line field that ends in CR cannot be written so that it reads back.
    std::strcpy(skill.name, "Sword\r");
    EXPECT_FALSE(skill.save());
    EXPECT_NE(errors.str().find("name ends in a carriage return"), std::string::npos);
}

} // namespace
