#include "record_dir.h"

#include "records/record_text.h"
#include "records/records.h"

#include <cstring>
#include <vector>

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

StoryRecord sampleStory(short entryCount) {
    StoryRecord r;
    std::strcpy(r.id, "31");
    std::strcpy(r.w1, "abcd");
    std::strcpy(r.w2, "vwxyz");
    r.s1 = -2;
    std::strcpy(r.text, "Once upon a time");
    r.entryCount = entryCount;
    const char* keys[4] = {"k1", "k2", "k3", "k4"};
    const char* texts[4] = {"first entry", "second entry", "third", "fourth and last"};
    for (int i = 0; i < 4; ++i) {
        std::strcpy(r.entries[i].key, keys[i]);
        std::strcpy(r.entries[i].text, texts[i]);
    }
    return r;
}

ItemRecord sampleItem() {
    ItemRecord r;
    std::strcpy(r.id, "12");
    std::strcpy(r.name, "Long Sword");
    r.f1 = 1.5f;
    r.f2 = -2.25f;
    r.i1 = 1, r.i2 = 2, r.i3 = 3, r.actionCost = 4, r.i5 = 5, r.i6 = 6, r.i7 = 7, r.i8 = 8;
    r.damageDice = 9, r.damageSides = 10, r.criticalMultiplier = 11, r.criticalThreshold = 12;
    r.s1 = -13, r.i13 = 14, r.s2 = 15;
    std::strcpy(r.code, "AB C");
    r.i14 = 16;
    return r;
}

const char* const SAMPLE_ITEM_FILE = "Long Sword\n1.5 -2.25\n1\n2\n3\n4\n5 6\n7\n8\n9 10\n11 12\n"
                                     "-13\n14\n15\nAB C\n16\n";

NPCRecord sampleNpc() {
    NPCRecord r;
    std::strcpy(r.id, "4");
    std::strcpy(r.name, "Cave Troll");
    r.f1 = 0.5f, r.f2 = 1, r.f3 = 1.5f, r.f4 = 2, r.f5 = 2.5f;
    r.s1 = 3, r.s2 = 4;
    r.f6 = 3.14159265f, r.f7 = 1e8f;
    r.maxHealth = 10, r.health = 11, r.maxMana = 12, r.mana = 13, r.i5 = 14, r.i6 = 15, r.i7 = 16;
    r.f8 = 0.1f, r.f9 = -7;
    r.armourClass = 20, r.i9 = 21, r.i10 = 22, r.gold = 23;
    for (int v : {5, 6, 7})
        r.list.append(v);
    r.experienceValue = 99; // combat's own member: never stored
    return r;
}

TEST_F(RecordDir, NpcRoundTripKeepsEveryStoredMemberButNotCombatsOwn) {
    const NPCRecord npc = sampleNpc();
    NPCRecord back;
    roundTrip(npc, back);
    EXPECT_EQ(listing(back), listing(npc));
    EXPECT_EQ(values(back.list), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(back.experienceValue, 0);
}

TEST_F(RecordDir, NpcListEndsWithMinusOneAndLoadingReplacesTheList) {
    NPCRecord empty = sampleNpc();
    empty.list.clear();
    ASSERT_TRUE(empty.save());
    const std::string file = readFile("4.npc");
    EXPECT_EQ(file.substr(file.size() - 4), "\n-1\n");

    NPCRecord back;
    back.list.append(42); // a list left from before must not be kept
    type("4\n");
    ASSERT_TRUE(back.load());
    EXPECT_TRUE(back.list.empty());

    // Without the final -1 the list ends at the end of the file.
    writeFile("4.npc", file.substr(0, file.size() - 3) + "8\n9");
    type("4\n");
    ASSERT_TRUE(back.load());
    EXPECT_EQ(values(back.list), (std::vector<int>{8, 9}));

    // A value that does not parse ends the list too, but the file is bad.
    writeFile("4.npc", file.substr(0, file.size() - 3) + "8\nx\n-1\n");
    type("4\n");
    EXPECT_FALSE(back.load());
    EXPECT_EQ(values(back.list), (std::vector<int>{8}));
}

TEST_F(RecordDir, ValuesSharingALineOrOnSeparateLinesReadAlike) {
    std::string split = SAMPLE_ITEM_FILE;
    split.replace(split.find("\n5 6\n"), 5, "\n5\n6\n");
    for (const std::string& file : {std::string(SAMPLE_ITEM_FILE), split}) {
        writeFile("12.itm", file);
        ItemRecord back;
        type("12\n");
        ASSERT_TRUE(back.load());
        EXPECT_EQ(back.i5, 5);
        EXPECT_EQ(back.i6, 6);
        EXPECT_STREQ(back.code, "AB C");
        EXPECT_EQ(back.i14, 16);
    }
}

TEST_F(RecordDir, BlankAfterANumberBecomesTheFollowingLineField) {
    writeFile("5.str", "ab\ncd\n3 \nThe real text\n0\n");
    StoryRecord r;
    r.entryCount = 2;
    type("5\n");
    EXPECT_FALSE(r.load()) << "the text lands where the count is expected";
    EXPECT_EQ(r.s1, 3);
    EXPECT_STREQ(r.text, " ");
    EXPECT_EQ(r.entryCount, 2);
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
}

TEST_F(RecordDir, TruncatedFileStopsAtItsEnd) {
    writeFile("3.obt", "Stone\n1 2\n3 4");
    ObjectRecord r;
    r.f5 = 8;
    type("3\n");
    EXPECT_FALSE(r.load());
    EXPECT_EQ(r.f4, 4);
    EXPECT_EQ(r.f5, 8);
}

TEST_F(RecordDir, MissingFileLeavesAllButTheNumber) {
    const ItemRecord before = sampleItem();
    ItemRecord r = before;
    type("55\n");
    EXPECT_FALSE(r.load());
    EXPECT_STREQ(r.id, "55");
    std::strcpy(r.id, before.id);
    EXPECT_EQ(listing(r), listing(before));
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

    NPCRecord npc = sampleNpc();
    npc.list.append(-1);
    EXPECT_FALSE(npc.save());
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

// Files from Windows editors end their lines with CR LF.
class RecordLineEnds : public RecordDir {
  protected:
    // Saves the record, rewrites its file with CR LF line ends and loads it
    // back: the record must read the same, with no CR in its line fields.
    template <class R> void expectCrLfReadsAlike(const R& record) {
        ASSERT_TRUE(record.save()) << errors.str();
        const std::string name = std::string(record.id) + R::KIND.extension;
        const std::string lf = readFile(name);
        EXPECT_EQ(lf.find('\r'), std::string::npos) << name << ": saving writes LF";
        std::string crlf;
        for (char c : lf) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        writeFile(name, crlf);
        R back;
        type(std::string(record.id) + "\n");
        EXPECT_TRUE(back.load()) << name;
        EXPECT_EQ(listing(back), listing(record)) << name;
    }
};

TEST_F(RecordLineEnds, EveryKindReadsCrLfFilesLikeLfFiles) {
    expectCrLfReadsAlike(sampleStory(4));
    expectCrLfReadsAlike(sampleItem());
    expectCrLfReadsAlike(sampleNpc());
    SkillRecord skill;
    std::strcpy(skill.id, "7");
    std::strcpy(skill.name, "Sword Play");
    skill.s1 = 1, skill.s2 = -2, skill.s3 = 3, skill.s4 = 4;
    expectCrLfReadsAlike(skill);
    QuestRecord quest;
    std::strcpy(quest.id, "3");
    std::strcpy(quest.name, "The Lost Amulet");
    std::strcpy(quest.w1, "aa"), std::strcpy(quest.w2, "bb"), std::strcpy(quest.w3, "cccccc");
    quest.i1 = 5, quest.i2 = -6;
    std::strcpy(quest.w4, "end");
    expectCrLfReadsAlike(quest);
    ObjectRecord object;
    std::strcpy(object.id, "9");
    std::strcpy(object.name, "Old Chest");
    object.f1 = 0.5f, object.f5 = -1.25f, object.s4 = 7, object.i6 = 8, object.i7 = 9;
    std::strcpy(object.name2, "chest lid");
    expectCrLfReadsAlike(object);
}

TEST_F(RecordLineEnds, CrLfEdgesOfLineFields) {
    // A blank after a number, then CR LF: the blank is the line field, as with LF.
    writeFile("5.str", "ab\r\ncd\r\n3 \r\nThe real text\r\n0\r\n");
    StoryRecord story;
    type("5\n");
    EXPECT_FALSE(story.load());
    EXPECT_STREQ(story.text, " ");
    // A name filling its field exactly still fits when CR LF follows it, a CR
    // inside a line is text, and a last line may end in CR alone.
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
TEST_F(RecordLineEnds, PiledCrsAndNulsNeverSaveSomethingElse) {
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
    EXPECT_EQ(moved.size(), 1001);
    moved.append(5);
    EXPECT_EQ(values(moved).back(), 5);
}

} // namespace
