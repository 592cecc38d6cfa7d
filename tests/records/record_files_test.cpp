#include "record_dir.h"

#include "records/record_text.h"
#include "records/records.h"

#include <cstring>
#include <vector>

// Every kind's stored members and line layout, and CR LF files, are proven
// through the record tool (record_tool_test.cpp); these are the reader's and
// writer's refusals and edges.
namespace {

template <class R> std::string listing(const R& record) {
    std::ostringstream out;
    records::printRecordText(record, out);
    return out.str();
}

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
    EXPECT_EQ(file.substr(file.size() - 4), "\n-1\n");

    NPCRecord back = npc({42}); // a list left from before must not be kept
    type("4\n");
    ASSERT_TRUE(back.load());
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
        writeFile("4.npc", body + c.tail);
        type("4\n");
        EXPECT_EQ(back.load(), c.loads);
        EXPECT_EQ(values(back.list), c.list);
    }
}

// A blank after a number becomes the following line field, with LF or CR LF.
TEST_F(RecordDir, BlankAfterANumberBecomesTheFollowingLineField) {
    for (const char* file :
         {"ab\ncd\n3 \nThe real text\n0\n", "ab\r\ncd\r\n3 \r\nThe real text\r\n0\r\n"}) {
        writeFile("5.str", file);
        StoryRecord r;
        r.entryCount = 2;
        type("5\n");
        EXPECT_FALSE(r.load()) << "the text lands where the count is expected";
        EXPECT_EQ(r.s1, 3);
        EXPECT_STREQ(r.text, " ");
        EXPECT_EQ(r.entryCount, 2);
    }
}

TEST_F(RecordDir, OverlongOrBadValuesStopReadingAndKeepLaterFields) {
    SkillRecord r;
    r.s1 = 77;
    std::strcpy(r.name, "before");
    writeFile("1.skl", std::string(30, 'n') + "\n1\n2\n3\n4\n");
    type("1\n");
    EXPECT_FALSE(r.load());
    EXPECT_STREQ(r.name, "before");
    EXPECT_EQ(r.s1, 77);

    writeFile("1.skl", std::string(29, 'n') + "\n1\n40000\n3\n4\n");
    type("1\n");
    EXPECT_FALSE(r.load()) << "40000 does not fit a short";
    EXPECT_EQ(std::string(r.name), std::string(29, 'n'));
    EXPECT_EQ(r.s1, 1);
    EXPECT_EQ(r.s2, 0);
    EXPECT_EQ(r.s3, 0);

    QuestRecord q;
    writeFile("2.qst", "Quest\nab\ncd\ntoolong\n1\n2\nw\n");
    type("2\n");
    EXPECT_FALSE(q.load());
    EXPECT_STREQ(q.w2, "cd");
    EXPECT_STREQ(q.w3, "") << "a word longer than its field is refused, not cut";
    EXPECT_EQ(q.i1, 0);

    writeFile("3.obt", "Stone\n1 2\n3 4"); // truncated: stops at its end
    ObjectRecord o;
    o.f5 = 8;
    type("3\n");
    EXPECT_FALSE(o.load());
    EXPECT_EQ(o.f4, 4);
    EXPECT_EQ(o.f5, 8);
}

TEST_F(RecordDir, MissingFileLeavesAllButTheNumber) {
    NPCRecord r = npc({5, 6});
    const std::string before = listing(r);
    type("55\n");
    EXPECT_FALSE(r.load());
    EXPECT_STREQ(r.id, "55");
    std::strcpy(r.id, "4");
    EXPECT_EQ(listing(r), before);
    EXPECT_EQ(errors.str(), "");
}

TEST_F(RecordDir, RecordNumbersLongerThanFourOrWithSlashesAreRefused) {
    writeFile("1234.skl", "Name\n1\n2\n3\n4\n");
    SkillRecord r;
    std::strcpy(r.id, "9");
    for (const char* number : {"12345", "../x", "a\\b"}) {
        type(std::string(number) + "\n");
        EXPECT_FALSE(r.load());
        EXPECT_STREQ(r.id, "9") << number;
    }
    EXPECT_NE(errors.str().find("Record number refused: 12345"), std::string::npos);
    type("1234\n");
    EXPECT_TRUE(r.load());
    EXPECT_EQ(r.s4, 4);
}

TEST_F(RecordDir, SaveRefusesWhatWouldNotReadBack) {
    QuestRecord quest; // empty words would shift every later value on reading
    std::strcpy(quest.id, "8");
    EXPECT_FALSE(quest.save());
    EXPECT_FALSE(npc({1, -1}).save());
    EXPECT_NE(errors.str().find("list holds -1"), std::string::npos);
    SkillRecord unnamed; // an empty id would name the file ".skl"
    EXPECT_FALSE(unnamed.save());
    EXPECT_EQ(output.str(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST_F(RecordDir, EmptyNameAndUnwritableFile) {
    SkillRecord r;
    std::strcpy(r.id, "6");
    r.s1 = 5;
    SkillRecord back;
    roundTrip(r, back);
    EXPECT_STREQ(back.name, "");
    EXPECT_EQ(back.s1, 5);

    std::strcpy(r.id, "6.sk"); // the file name "6.sk.skl" made into a directory
    std::filesystem::create_directory("6.sk.skl");
    output.str("");
    EXPECT_FALSE(r.save());
    EXPECT_EQ(output.str(), "Saving to 6.sk.skl\n");
}

// A name filling its field exactly still fits when CR LF follows it, a CR
// inside a line is text, and a last line may end in CR alone.
TEST_F(RecordDir, CrLfEdgesOfLineFields) {
    writeFile("8.skl", std::string(29, 'n') + "\r\n1\r\n2\r\n3\r\n4\r\n");
    writeFile("9.itm", "a\rb\r\n1 2\r\n1\r\n2\r\n3\r\n4\r\n5 6\r\n7\r\n8\r\n9 10\r\n11 12\r\n"
                       "13\r\n14\r\n15\r\nAB\r");
    SkillRecord skill;
    type("8\n");
    EXPECT_TRUE(skill.load());
    EXPECT_EQ(std::string(skill.name), std::string(29, 'n'));
    EXPECT_EQ(skill.s4, 4);
    ItemRecord item;
    type("9\n");
    item.i14 = 77;
    EXPECT_FALSE(item.load()) << "i14 is missing";
    EXPECT_STREQ(item.name, "a\rb");
    EXPECT_STREQ(item.code, "AB");
    EXPECT_EQ(item.i14, 77);
}

// Damaged files: CRs piled before a line end, NULs inside text. What is read
// from them either saves and reads back the same, or is refused.
TEST_F(RecordDir, PiledCrsAndNulsNeverSaveSomethingElse) {
    writeFile("4.skl", std::string("Sword\r\r\n1\r\r\n2\n3\n4\n"));
    SkillRecord skill;
    type("4\n");
    EXPECT_TRUE(skill.load());
    EXPECT_STREQ(skill.name, "Sword");
    EXPECT_EQ(skill.s2, 2);
    const char nulInLine[] = "Swo\r\0rd\n1\n2\n3\n4\n";
    const char nulInWord[] = "ab\0cd\nw2\n3\ntext\n0\n";
    writeFile("5.skl", std::string(nulInLine, sizeof nulInLine - 1));
    writeFile("5.str", std::string(nulInWord, sizeof nulInWord - 1));
    SkillRecord damagedSkill;
    StoryRecord damagedStory;
    type("5\n");
    EXPECT_FALSE(damagedSkill.load()) << "a NUL in a line field is refused";
    type("5\n");
    EXPECT_FALSE(damagedStory.load()) << "a NUL in a word is refused";
    // A line field that ends in CR cannot be written so that it reads back.
    std::strcpy(skill.name, "Sword\r");
    EXPECT_FALSE(skill.save());
    EXPECT_NE(errors.str().find("name ends in a carriage return"), std::string::npos);
}

TEST(IntList, CopiesAreDeepAndAppendKeepsOrder) {
    IntList a;
    for (int v = 0; v < 1000; ++v)
        a.append(v);
    IntList b = a;
    b.append(1000);
    EXPECT_EQ(a.size(), 1000);
    EXPECT_EQ(b.size(), 1001);
    EXPECT_NE(a.head, b.head);
    a = b;
    EXPECT_EQ(values(a), values(b));
    IntList moved = std::move(a);
    EXPECT_TRUE(a.empty());
    moved.append(5);
    EXPECT_EQ(values(moved).size(), 1002u);
    EXPECT_EQ(values(moved).back(), 5);
}

} // namespace
