// The file form of the records: a reader and a writer that walk a record's
// `fields` list, the check that a record can be written so that it reads back,
// and the `load` / `save` steps shared by every kind.
#pragma once

#include "records/records.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

namespace records {

// The characters of a fixed field up to its terminator (all of it when unterminated).
template <std::size_t N> std::string_view text(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

// Stores `value` (at most N - 1 characters) with its terminator.
template <std::size_t N> void store(char (&field)[N], std::string_view value) {
    std::memcpy(field, value.data(), value.size());
    field[value.size()] = '\0';
}

bool isBlank(int c);

// Reads values in file order. The first value that is missing, does not parse
// or is longer than its field stops the reading: that field and every later
// one keep what they held.
class FileReader {
  public:
    static constexpr bool ALL_ENTRIES = false;
    bool ok = true;

    explicit FileReader(std::istream& in) : in(in) {}

    // A word: blanks and line ends are skipped, then the characters up to the next one.
    template <std::size_t N> void word(const char*, char (&field)[N]) {
        if (!ok) return;
        std::string value;
        // At most N characters are taken: N means the word is too long. A NUL
        // would cut the word short when it is written again.
        if (!(in >> std::setw(N) >> value) || value.size() > N - 1 ||
            value.find('\0') != std::string::npos) {
            ok = false;
            return;
        }
        store(field, value);
        started = true;
    }

    // A line field: the rest of the current line, after skipping the one line
    // end that a value read before it leaves behind. A line ends in LF with any
    // CRs before it (CR LF from Windows editors); words and numbers skip CRs
    // as white space.
    template <std::size_t N> void line(const char*, char (&field)[N]) {
        if (!ok) return;
        std::string value;
        if (!readLine(value, N - 1)) {
            ok = false;
            return;
        }
        store(field, value);
        started = true;
    }

    template <class T> void number(const char*, T& field, Place = Place::OwnLine) {
        if (!ok) return;
        T value{};
        if (!(in >> value)) {
            ok = false;
            return;
        }
        field = value;
        started = true;
    }

    // Ints up to the value -1; the end of the file or a value that does not
    // parse also ends the list. The list read replaces the record's list.
    void list(const char*, IntList& field);

  private:
    std::istream& in;
    bool started = false;

    // CRs the line end of a line may carry (CR LF, CR CR LF ...).
    static constexpr std::size_t MAX_LINE_END_CRS = 64;

    bool readLine(std::string& value, std::size_t limit);
    // Takes the rest of the current line and its line end: an LF with any
    // CRs before it, or the end of the file. False when nothing is left or
    // the line, CRs of its end taken off, is longer than limit.
    bool takeLine(std::string& line, std::size_t limit);
};

// Writes the values of a record in its line layout; every line ends with a
// line end and a flush.
class FileWriter {
  public:
    static constexpr bool ALL_ENTRIES = false;

    explicit FileWriter(std::ostream& out) : out(out) {}
    ~FileWriter() { endLine(); }

    template <std::size_t N> void word(const char*, const char (&field)[N]) {
        begin(Place::OwnLine);
        out << text(field);
    }
    template <std::size_t N> void line(const char* name, const char (&field)[N]) {
        word(name, field);
    }
    template <class T> void number(const char*, const T& field, Place place = Place::OwnLine) {
        begin(place);
        out << field;
    }
    void list(const char*, const IntList& field);

  private:
    std::ostream& out;
    bool lineOpen = false;

    void begin(Place place);
    void endLine();
};

// Finds the first value that the file form cannot hold so that it reads back
// the same: an empty word or one with blanks, a line with a line end, text
// longer than its field, a float that is not finite, -1 inside the NPC list.
class SaveCheck {
  public:
    static constexpr bool ALL_ENTRIES = false;
    std::string problem;

    template <std::size_t N> void word(const char* name, const char (&field)[N]) {
        const std::string_view value = text(field);
        if (value.size() > N - 1)
            fail(name, "is longer than its field");
        else if (value.empty())
            fail(name, "is empty");
        for (char c : value)
            if (isBlank(c)) fail(name, "holds a blank");
    }
    template <std::size_t N> void line(const char* name, const char (&field)[N]) {
        const std::string_view value = text(field);
        if (value.size() > N - 1) fail(name, "is longer than its field");
        if (value.find('\n') != std::string_view::npos) fail(name, "holds a line end");
        // The reader takes CRs before a line end as part of it.
        if (!value.empty() && value.back() == '\r') fail(name, "ends in a carriage return");
    }
    template <class T> void number(const char* name, const T& field, Place = Place::OwnLine) {
        if constexpr (std::is_floating_point_v<T>) {
            if (!std::isfinite(field)) fail(name, "is not a finite number");
        }
    }
    void list(const char* name, const IntList& field);

  private:
    void fail(const char* name, const char* what);
};

std::string recordFileName(std::string_view id, const char* extension);

// Writes the prompt and reads the record number from standard input; false,
// with a line on standard error, when there is none or it is refused.
bool askRecordNumber(const char* prompt, std::string& number);

// Why the record cannot be saved, or empty when it can.
template <class R> std::string saveProblem(const R& record) {
    const std::string_view id = text(record.id);
    if (!isValidRecordNumber(id.data(), id.size()))
        return "the record number '" + std::string(id) + "' is not usable as a file name";
    SaveCheck check;
    R::fields(record, check);
    return check.problem;
}

void reportNotSaved(const RecordKind& kind, const std::string& problem);
std::ifstream openForReading(const std::string& fileName);
// Writes "Saving to " and the file name, then opens the file afresh.
std::ofstream openForWriting(const std::string& fileName);

template <class R> bool loadRecord(R& record) {
    std::string number;
    if (!askRecordNumber(R::KIND.prompt, number)) return false;
    store(record.id, number);
    std::ifstream file = openForReading(recordFileName(text(record.id), R::KIND.extension));
    if (!file) return false;
    FileReader reader(file);
    R::fields(record, reader);
    return reader.ok;
}

template <class R> bool saveRecord(const R& record) {
    const std::string problem = saveProblem(record);
    if (!problem.empty()) {
        reportNotSaved(R::KIND, problem);
        return false;
    }
    std::ofstream file = openForWriting(recordFileName(text(record.id), R::KIND.extension));
    if (!file) return false;
    {
        FileWriter writer(file);
        R::fields(record, writer);
    }
    return bool(file);
}

} // namespace records
