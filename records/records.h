// Game data records: six kinds of record, each kept in a small plain-text file
// named by its record number ("12.skl" holds skill record 12).
//
// Every kind has `load`, which asks on standard output for a record number,
// reads it from standard input and fills the record from that number's file,
// and `save`, which writes the record to the file named by its own `id`.
//
// Each record lists its stored members once, in file order, in `fields`; the
// file reader and writer, the save check and the text form of the record tool
// all walk that one list (see records/record_io.h and records/record_text.h).
#pragma once

#include <cstddef>

// Where a value goes in the file: on a line of its own or after the previous
// value, separated by one blank.
enum class Place { OwnLine, SameLine };

// Names the record tool prints and reads for the entries of a story record.
extern const char* const STORY_ENTRY_KEY_NAMES[4];
extern const char* const STORY_ENTRY_TEXT_NAMES[4];

// The file-name stem of a record: 1 to 4 characters, no blanks, no path separators.
constexpr int RECORD_NUMBER_LIMIT = 4;
bool isValidRecordNumber(const char* text, std::size_t length);

// The kind-specific texts of one record kind.
struct RecordKind {
    const char* name;      // the record tool's KIND argument
    const char* prompt;    // written by load before reading the number
    const char* extension; // appended to the record number to name the file
};

// A singly linked list of ints that owns its nodes; copies are deep.
struct IntNode {
    int value;
    IntNode* next;
};

class IntList {
  public:
    IntNode* head = nullptr;

    IntList() = default;
    IntList(const IntList& other);
    IntList(IntList&& other) noexcept;
    IntList& operator=(IntList other) noexcept;
    ~IntList();

    void append(int value);
    void clear();
    bool empty() const { return head == nullptr; }
    int size() const;
    void swap(IntList& other) noexcept;

  private:
    IntNode* tail = nullptr;
};

struct StoryEntry {
    char key[5] = {};
    char text[200] = {};
};

struct StoryRecord {
    static constexpr RecordKind KIND = {"story", "Whats the storyRecord#? ", ".str"};
    static constexpr int ENTRY_CAPACITY = 4;

    char id[5] = {};
    char w1[5] = {};
    char w2[6] = {};
    short s1 = 0;
    char text[200] = {};
    short entryCount = 0;
    StoryEntry entries[ENTRY_CAPACITY];

    bool load();
    bool save() const;

    // The number of entries kept in the file: entries 1 to 3 follow
    // `entryCount` up to 3, the fourth is kept only when it is exactly 4.
    static int storedEntries(int count);

    template <class Self, class V> static void fields(Self& r, V& v) {
        v.word("w1", r.w1);
        v.word("w2", r.w2);
        v.number("s1", r.s1);
        v.line("text", r.text);
        v.number("entryCount", r.entryCount);
        const int shown = V::ALL_ENTRIES ? ENTRY_CAPACITY : storedEntries(r.entryCount);
        for (int i = 0; i < shown; ++i) {
            v.word(STORY_ENTRY_KEY_NAMES[i], r.entries[i].key);
            v.line(STORY_ENTRY_TEXT_NAMES[i], r.entries[i].text);
        }
    }
};

struct SkillRecord {
    static constexpr RecordKind KIND = {"skill", "Whats the SkillRecord#? ", ".skl"};

    char id[5] = {};
    char name[30] = {};
    short s1 = 0, s2 = 0, s3 = 0, s4 = 0;

    bool load();
    bool save() const;

    template <class Self, class V> static void fields(Self& r, V& v) {
        v.line("name", r.name);
        v.number("s1", r.s1);
        v.number("s2", r.s2);
        v.number("s3", r.s3);
        v.number("s4", r.s4);
    }
};

struct QuestRecord {
    static constexpr RecordKind KIND = {"quest", "Whats the QuestRecord#? ", ".qst"};

    char id[5] = {};
    char name[30] = {};
    char w1[5] = {};
    char w2[5] = {};
    char w3[7] = {};
    int i1 = 0, i2 = 0;
    char w4[16] = {};

    bool load();
    bool save() const;

    template <class Self, class V> static void fields(Self& r, V& v) {
        v.line("name", r.name);
        v.word("w1", r.w1);
        v.word("w2", r.w2);
        v.word("w3", r.w3);
        v.number("i1", r.i1);
        v.number("i2", r.i2);
        v.word("w4", r.w4);
    }
};

// A weapon or other item. The members that combat reads carry their combat
// names; the file form names them by position (i4, i9 ... i12).
struct ItemRecord {
    static constexpr RecordKind KIND = {"item", "Whats the ItemRecord#? ", ".itm"};

    char id[5] = {};
    char name[30] = {};
    float f1 = 0, f2 = 0;
    int i1 = 0, i2 = 0, i3 = 0;
    int actionCost = 0; // i4
    int i5 = 0, i6 = 0, i7 = 0, i8 = 0;
    int damageDice = 0;         // i9
    int damageSides = 0;        // i10
    int criticalMultiplier = 0; // i11
    int criticalThreshold = 0;  // i12
    short s1 = 0;
    int i13 = 0;
    short s2 = 0;
    char code[5] = {};
    int i14 = 0;

    bool load();
    bool save() const;

    template <class Self, class V> static void fields(Self& r, V& v) {
        v.line("name", r.name);
        v.number("f1", r.f1);
        v.number("f2", r.f2, Place::SameLine);
        v.number("i1", r.i1);
        v.number("i2", r.i2);
        v.number("i3", r.i3);
        v.number("i4", r.actionCost);
        v.number("i5", r.i5);
        v.number("i6", r.i6, Place::SameLine);
        v.number("i7", r.i7);
        v.number("i8", r.i8);
        v.number("i9", r.damageDice);
        v.number("i10", r.damageSides, Place::SameLine);
        v.number("i11", r.criticalMultiplier);
        v.number("i12", r.criticalThreshold, Place::SameLine);
        v.number("s1", r.s1);
        v.number("i13", r.i13);
        v.number("s2", r.s2);
        v.line("code", r.code);
        v.number("i14", r.i14);
    }
};

// The statistics of a creature. The members that combat reads carry their
// combat names (the file form names them i1 ... i11); the last two members
// are combat's own and never stored.
struct NPCRecord {
    static constexpr RecordKind KIND = {"npc", "Whats the NPCRecord#? ", ".npc"};

    char id[5] = {};
    char name[30] = {};
    float f1 = 0, f2 = 0, f3 = 0, f4 = 0, f5 = 0;
    short s1 = 0, s2 = 0;
    float f6 = 0, f7 = 0;
    int maxHealth = 0; // i1
    int health = 0;    // i2
    int maxMana = 0;   // i3
    int mana = 0;      // i4
    int i5 = 0, i6 = 0, i7 = 0;
    float f8 = 0, f9 = 0;
    int armourClass = 0; // i8
    int i9 = 0, i10 = 0;
    int gold = 0; // i11
    IntList list;

    int experienceValue = 0;
    int controllerIndex = 0;

    bool load();
    bool save() const;

    template <class Self, class V> static void fields(Self& r, V& v) {
        v.line("name", r.name);
        v.number("f1", r.f1);
        v.number("f2", r.f2, Place::SameLine);
        v.number("f3", r.f3);
        v.number("f4", r.f4, Place::SameLine);
        v.number("f5", r.f5, Place::SameLine);
        v.number("s1", r.s1);
        v.number("s2", r.s2);
        v.number("f6", r.f6);
        v.number("f7", r.f7);
        v.number("i1", r.maxHealth);
        v.number("i2", r.health);
        v.number("i3", r.maxMana);
        v.number("i4", r.mana);
        v.number("i5", r.i5);
        v.number("i6", r.i6);
        v.number("i7", r.i7);
        v.number("f8", r.f8);
        v.number("f9", r.f9);
        v.number("i8", r.armourClass);
        v.number("i9", r.i9);
        v.number("i10", r.i10);
        v.number("i11", r.gold);
        v.list("list", r.list);
    }
};

struct ObjectRecord {
    static constexpr RecordKind KIND = {"object", "Whats the ObjectRecord#? ", ".obt"};

    char id[5] = {};
    char name[30] = {};
    float f1 = 0, f2 = 0, f3 = 0, f4 = 0, f5 = 0;
    short s1 = 0, s2 = 0, s3 = 0, s4 = 0;
    int i1 = 0, i2 = 0, i3 = 0, i4 = 0, i5 = 0, i6 = 0;
    short s5 = 0;
    int i7 = 0;
    char name2[30] = {};

    bool load();
    bool save() const;

    template <class Self, class V> static void fields(Self& r, V& v) {
        v.line("name", r.name);
        v.number("f1", r.f1);
        v.number("f2", r.f2, Place::SameLine);
        v.number("f3", r.f3);
        v.number("f4", r.f4, Place::SameLine);
        v.number("f5", r.f5, Place::SameLine);
        v.number("s1", r.s1);
        v.number("s2", r.s2);
        v.number("s3", r.s3);
        v.number("s4", r.s4);
        v.number("i1", r.i1);
        v.number("i2", r.i2);
        v.number("i3", r.i3);
        v.number("i4", r.i4);
        v.number("i5", r.i5);
        v.number("i6", r.i6, Place::SameLine);
        v.number("s5", r.s5);
        v.number("i7", r.i7);
        v.line("name2", r.name2);
    }
};
