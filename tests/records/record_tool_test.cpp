// The record tool run as a program: standard input in, standard output and
// error and the exit status out, in a temporary working directory.
#include "record_dir.h"

#include <cstring>

#include <sys/wait.h>

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class RecordTool : public RecordDir {
  protected:
    ToolRun run(const std::string& arguments, const std::string& stdinText) {
        writeFile("tool.in", stdinText);
        const std::string command = std::string(ZEB_BUILD_DIR) + "/zeb-records " + arguments +
                                    " < tool.in > tool.out 2> tool.err";
        ToolRun result;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = readFile("tool.out");
        result.err = readFile("tool.err");
        return result;
    }
};

// One listing per kind, every member named in record order, and the file it gives.
struct KindListing {
    const char* kind;
    const char* prompt;
    const char* fileName;
    const char* listing;
    const char* file;
};

const KindListing LISTINGS[] = {
    {"story", "Whats the storyRecord#? ", "20.str",
     "id: 20\nw1: ab\nw2: abcde\ns1: 3\ntext: A dark night \nentryCount: 4\n"
     "entry1.key: a\nentry1.text: one\nentry2.key: b\nentry2.text: two words\n"
     "entry3.key: c\nentry3.text:  three\nentry4.key: dddd\nentry4.text: four\n",
     "ab\nabcde\n3\nA dark night \n4\na\none\nb\ntwo words\nc\n three\ndddd\nfour\n"},
    {"skill", "Whats the SkillRecord#? ", "7.skl",
     "id: 7\nname: Sword Play\ns1: 1\ns2: 2\ns3: 3\ns4: -32768\n", "Sword Play\n1\n2\n3\n-32768\n"},
    {"quest", "Whats the QuestRecord#? ", "q1.qst",
     "id: q1\nname: The Lost Ring\nw1: a\nw2: b\nw3: cccccc\ni1: -1\ni2: 2147483647\nw4: done\n",
     "The Lost Ring\na\nb\ncccccc\n-1\n2147483647\ndone\n"},
    {"item", "Whats the ItemRecord#? ", "3.itm",
     "id: 3\nname: Axe\nf1: 0.25\nf2: -1e+10\ni1: 1\ni2: 2\ni3: 3\ni4: 4\ni5: 5\ni6: 6\ni7: 7\n"
     "i8: 8\ni9: 2\ni10: 6\ni11: 3\ni12: 5\ns1: 9\ni13: 10\ns2: 11\ncode: X Y\ni14: 12\n",
     "Axe\n0.25 -1e+10\n1\n2\n3\n4\n5 6\n7\n8\n2 6\n3 5\n9\n10\n11\nX Y\n12\n"},
    {"npc", "Whats the NPCRecord#? ", "9.npc",
     "id: 9\nname: Bat\nf1: 1\nf2: 2\nf3: 3\nf4: 4\nf5: 5\ns1: 6\ns2: 7\nf6: 8.5\nf7: 9\n"
     "i1: 30\ni2: 25\ni3: 0\ni4: 0\ni5: 1\ni6: 2\ni7: 3\nf8: 0.125\nf9: 10\ni8: 12\ni9: 1\n"
     "i10: 2\ni11: 40\nlist: 3 1 2\n",
     "Bat\n1 2\n3 4 "
     "5\n6\n7\n8.5\n9\n30\n25\n0\n0\n1\n2\n3\n0.125\n10\n12\n1\n2\n40\n3\n1\n2\n-1\n"},
    {"object", "Whats the ObjectRecord#? ", "77.obt",
     "id: 77\nname: Chest\nf1: 1\nf2: 2\nf3: 3\nf4: 4\nf5: 5\ns1: 1\ns2: 2\ns3: 3\ns4: 4\n"
     "i1: 1\ni2: 2\ni3: 3\ni4: 4\ni5: 5\ni6: 6\ns5: 7\ni7: 8\nname2: Iron Chest\n",
     "Chest\n1 2\n3 4 5\n1\n2\n3\n4\n1\n2\n3\n4\n5 6\n7\n8\nIron Chest\n"},
};

TEST_F(RecordTool, EveryKindSavesItsLineLayoutAndListsBackTheSameMembers) {
    for (const KindListing& k : LISTINGS) {
        SCOPED_TRACE(k.kind);
        const ToolRun saved = run(std::string(k.kind) + " save", k.listing);
        EXPECT_EQ(saved.status, 0) << saved.err;
        EXPECT_EQ(saved.out, std::string("Saving to ") + k.fileName + "\n");
        EXPECT_EQ(readFile(k.fileName), k.file);
        const std::string id(k.fileName, std::strchr(k.fileName, '.'));
        const ToolRun loaded = run(std::string(k.kind) + " load", id + "\n");
        EXPECT_EQ(loaded.status, 0) << loaded.err;
        EXPECT_EQ(loaded.out, std::string(k.prompt) + "\n" + k.listing);
    }
}

// A story whose count runs past its four entries keeps the entries it has.
TEST_F(RecordTool, StoryWithCountFive) {
    const ToolRun story = run("story save", "id: 2\nw1: a\nw2: b\nentryCount: 5\nentry1.key: a\n"
                                            "entry2.key: b\nentry3.key: c\n"
                                            "entry4.key: d\nentry4.text: lost\n");
    ASSERT_EQ(story.status, 0) << story.err;
    const std::string listed = run("story load", "2").out;
    EXPECT_NE(listed.find("entry3.key: c\n"), std::string::npos);
    EXPECT_NE(listed.find("entry4.key: \nentry4.text: \n"), std::string::npos);
}

TEST_F(RecordTool, BadInputIsReportedByLineAndNothingIsWritten) {
    const ToolRun r = run("skill save", "id: 7\nname: " + std::string(30, 'x') +
                                            "\nhealth: 3\n\ns1: 70000\ns2 5\ns3: 1.5\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "line 2: bad value for name: expected a line of at most 29 characters\n"
                     "line 3: unknown name 'health'\n"
                     "line 5: bad value for s1: expected a whole number from -32768 to 32767\n"
                     "line 6: expected 'name: value'\n"
                     "line 7: bad value for s3: expected a whole number from -32768 to 32767\n"
                     "zeb-records: nothing written\n");
    EXPECT_FALSE(std::filesystem::exists("7.skl"));
}

// Each run fails with its status and says why on standard error.
TEST_F(RecordTool, RefusedRunsGiveTheirStatusAndReason) {
    const struct {
        const char *arguments, *input;
        int status;
        const char* reason;
    } cases[] = {
        {"npc save", "id: 1\nname: a\nlist: 1 -1 2\n", 1, "line 3: bad value for list"},
        {"quest save", "id: 1\nw1: two words\n", 1, "line 2: bad value for w1"},
        {"item save", "id: 1\nname: a\nf1: nan\n", 1,
         "line 3: bad value for f1: expected a finite number"},
        {"quest save", "id: 5\nname: x\n", 1, "The quest record is not saved: w1 is empty\n"},
        {"object load", "404\n", 1, "zeb-records: 404.obt is missing or was not read to its end\n"},
        {"spell load", "", 2, ""},
        {"skill print", "", 2, ""},
        {"", "", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + ": " + c.reason);
        const ToolRun r = run(c.arguments, c.input);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists("5.qst"));
    const ToolRun refused = run("object load", "40404\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "Whats the ObjectRecord#? \n");
}

} // namespace
