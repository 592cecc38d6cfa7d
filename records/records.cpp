#include "records/records.h"

#include "platform/files.h"
#include "records/record_io.h"

#include <cctype>
#include <iostream>
#include <utility>

const char* const STORY_ENTRY_KEY_NAMES[4] = {"entry1.key", "entry2.key", "entry3.key",
                                              "entry4.key"};
const char* const STORY_ENTRY_TEXT_NAMES[4] = {"entry1.text", "entry2.text", "entry3.text",
                                               "entry4.text"};

bool isValidRecordNumber(const char* text, std::size_t length) {
    if (length == 0 || length > RECORD_NUMBER_LIMIT) return false;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        // The number names a file in the working directory and nothing else.
        if (c == '\0' || c == '/' || c == '\\' || records::isBlank(c)) return false;
    }
    return true;
}

// ---- IntList ----

IntList::IntList(const IntList& other) {
    for (const IntNode* n = other.head; n; n = n->next)
        append(n->value);
}

IntList::IntList(IntList&& other) noexcept {
    swap(other);
}

IntList& IntList::operator=(IntList other) noexcept {
    swap(other);
    return *this;
}

IntList::~IntList() {
    clear();
}

void IntList::append(int value) {
    IntNode* node = new IntNode{value, nullptr};
    if (tail)
        tail->next = node;
    else
        head = node;
    tail = node;
}

void IntList::clear() {
    // Iterative, so that a long list cannot exhaust the stack.
    while (head) {
        IntNode* next = head->next;
        delete head;
        head = next;
    }
    tail = nullptr;
}

int IntList::size() const {
    int count = 0;
    for (const IntNode* n = head; n; n = n->next)
        ++count;
    return count;
}

void IntList::swap(IntList& other) noexcept {
    std::swap(head, other.head);
    std::swap(tail, other.tail);
}

// ---- The six kinds ----

int StoryRecord::storedEntries(int count) {
    if (count == ENTRY_CAPACITY) return ENTRY_CAPACITY;
    if (count > ENTRY_CAPACITY) return ENTRY_CAPACITY - 1;
    return count > 0 ? count : 0;
}

bool StoryRecord::load() {
    return records::loadRecord(*this);
}
bool StoryRecord::save() const {
    return records::saveRecord(*this);
}
bool SkillRecord::load() {
    return records::loadRecord(*this);
}
bool SkillRecord::save() const {
    return records::saveRecord(*this);
}
bool QuestRecord::load() {
    return records::loadRecord(*this);
}
bool QuestRecord::save() const {
    return records::saveRecord(*this);
}
bool ItemRecord::load() {
    return records::loadRecord(*this);
}
bool ItemRecord::save() const {
    return records::saveRecord(*this);
}
bool NPCRecord::load() {
    return records::loadRecord(*this);
}
bool NPCRecord::save() const {
    return records::saveRecord(*this);
}
bool ObjectRecord::load() {
    return records::loadRecord(*this);
}
bool ObjectRecord::save() const {
    return records::saveRecord(*this);
}

namespace records {

bool isBlank(int c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// ---- Reading ----

bool FileReader::takeLine(std::string& line, std::size_t limit) {
    line.clear();
    bool tookAny = false;
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        tookAny = true;
        if (c == '\n') break;
        if (line.size() > limit + MAX_LINE_END_CRS) return false;
        line.push_back(static_cast<char>(c));
    }
    // The last line of a file may lack its line end; a missing line may not.
    in.clear(in.rdstate() & ~std::ios::failbit);
    while (!line.empty() && line.back() == '\r')
        line.pop_back();
    return tookAny && line.size() <= limit;
}

bool FileReader::readLine(std::string& value, std::size_t limit) {
    // A value read before the line field leaves the rest of its line behind;
    // when that is empty the field is the next line. At the start of the
    // file there is no such rest, so an empty first line is the field.
    if (!takeLine(value, limit)) return false;
    if (started && value.empty() && !takeLine(value, limit)) return false;
    // A NUL would cut the field short when it is written again.
    return value.find('\0') == std::string::npos;
}

void FileReader::list(const char*, IntList& field) {
    if (!ok) return;
    IntList values;
    int value = 0;
    while (in >> value && value != -1)
        values.append(value);
    // The end of the file ends the list; anything else that stops it is an error.
    if (!in && !in.eof()) ok = false;
    field.swap(values);
    started = true;
}

// ---- Writing ----

void FileWriter::begin(Place place) {
    if (place == Place::SameLine && lineOpen) {
        out << ' ';
        return;
    }
    endLine();
    lineOpen = true;
}

void FileWriter::endLine() {
    if (lineOpen) out << std::endl;
    lineOpen = false;
}

void FileWriter::list(const char*, const IntList& field) {
    for (const IntNode* n = field.head; n; n = n->next) {
        begin(Place::OwnLine);
        out << n->value;
    }
    begin(Place::OwnLine);
    out << -1;
}

// ---- Checking before a save ----

void SaveCheck::list(const char* name, const IntList& field) {
    for (const IntNode* n = field.head; n; n = n->next)
        if (n->value == -1) fail(name, "holds -1, which would end the list early");
}

void SaveCheck::fail(const char* name, const char* what) {
    if (problem.empty()) problem = std::string(name) + " " + what;
}

// ---- Files and the prompt ----

std::string recordFileName(std::string_view id, const char* extension) {
    return std::string(id) + extension;
}

bool askRecordNumber(const char* prompt, std::string& number) {
    std::cout << prompt << std::flush;
    if (!(std::cin >> number)) {
        std::cerr << "No record number given" << std::endl;
        return false;
    }
    if (!isValidRecordNumber(number.data(), number.size())) {
        std::cerr << "Record number refused: " << number
                  << " (1 to 4 characters, no path separators)" << std::endl;
        return false;
    }
    return true;
}

void reportNotSaved(const RecordKind& kind, const std::string& problem) {
    std::cerr << "The " << kind.name << " record is not saved: " << problem << std::endl;
}

std::ifstream openForReading(const std::string& fileName) {
    return std::ifstream(win::ResolvePath(fileName));
}

std::ofstream openForWriting(const std::string& fileName) {
    std::cout << "Saving to " << fileName << std::endl;
    return std::ofstream(fileName, std::ios::out | std::ios::trunc);
}

} // namespace records
