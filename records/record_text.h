// The text form of a record used by the record tool: one "name: value" line
// per member in record order, starting with `id`. Story entries are named
// entry1.key, entry1.text ... entry4.text; the NPC list is "list:" followed by
// its values, each after one blank.
#pragma once

#include "records/record_io.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace records {

class TextPrinter {
  public:
    static constexpr bool ALL_ENTRIES = true;

    explicit TextPrinter(std::ostream& out) : out(out) {}

    template <std::size_t N> void word(const char* name, const char (&field)[N]) {
        out << name << ": " << text(field) << '\n';
    }
    template <std::size_t N> void line(const char* name, const char (&field)[N]) {
        word(name, field);
    }
    template <class T> void number(const char* name, const T& field, Place = Place::OwnLine) {
        out << name << ": " << field << '\n';
    }
    void list(const char* name, const IntList& field);

  private:
    std::ostream& out;
};

// Parses the whole of `text` as one number of type T; floats must be finite.
template <class T> bool parseNumber(std::string_view text, T& result) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) return false;
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) return false;
    }
    result = value;
    return true;
}

bool hasBlank(std::string_view text);
inline bool hasNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

// Sets the member called `name` from its text form. `found` tells whether the
// record has such a member; `expected` is set, and the member left alone, when
// the value does not fit it.
class TextSetter {
  public:
    static constexpr bool ALL_ENTRIES = true;
    bool found = false;
    std::string expected;

    TextSetter(std::string_view name, std::string_view value) : name(name), value(value) {}

    template <std::size_t N> void word(const char* member, char (&field)[N]) {
        if (!claim(member)) return;
        if (hasNul(value))
            expected = NO_NULS;
        else if (value.empty() || value.size() > N - 1 || hasBlank(value))
            expected = "a word of 1 to " + std::to_string(N - 1) + " characters without blanks";
        else
            store(field, value);
    }
    template <std::size_t N> void line(const char* member, char (&field)[N]) {
        if (!claim(member)) return;
        if (hasNul(value))
            expected = NO_NULS;
        else if (value.size() > N - 1)
            expected = "a line of at most " + std::to_string(N - 1) + " characters";
        else
            store(field, value);
    }
    template <class T> void number(const char* member, T& field, Place = Place::OwnLine) {
        if (!claim(member)) return;
        if (parseNumber(value, field)) return;
        if constexpr (std::is_floating_point_v<T>)
            expected = "a finite number";
        else if constexpr (sizeof(T) == 2)
            expected = "a whole number from -32768 to 32767";
        else
            expected = "a whole number that fits 32 bits";
    }
    void list(const char* member, IntList& field);

  private:
    // A NUL would end the text early in the record's fixed field.
    static constexpr const char* NO_NULS = "text without NUL characters";
    std::string_view name;
    std::string_view value;

    bool claim(const char* member) {
        if (found || name != member) return false;
        found = true;
        return true;
    }
};

// Splits "name: value"; the value is everything after the colon and the one
// blank that follows it, so a line field may start with blanks of its own.
bool splitNameValue(std::string_view line, std::string_view& name, std::string_view& value);

template <class R> void printRecordText(const R& record, std::ostream& out) {
    out << "id: " << text(record.id) << '\n';
    TextPrinter printer(out);
    R::fields(record, printer);
}

// Sets one member by name; on failure returns false with the reason.
template <class R>
bool setRecordValue(R& record, std::string_view name, std::string_view value,
                    std::string& problem) {
    if (name == "id") {
        if (isValidRecordNumber(value.data(), value.size())) {
            store(record.id, value);
            return true;
        }
        problem = "bad value for id: expected 1 to 4 characters without blanks or slashes";
        return false;
    }
    TextSetter setter(name, value);
    R::fields(record, setter);
    if (!setter.found)
        problem = "unknown name '" + std::string(name) + "'";
    else if (!setter.expected.empty())
        problem = "bad value for " + std::string(name) + ": expected " + setter.expected;
    return problem.empty();
}

// Reads "name: value" lines into the record, skipping empty lines. Every
// problem is reported on `errors` with its line number; false when there was one.
template <class R> bool readRecordText(R& record, std::istream& in, std::ostream& errors) {
    bool allGood = true;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        // Lines from Windows editors end in CR LF.
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty()) continue;
        std::string_view name, value;
        std::string problem;
        if (!splitNameValue(line, name, value))
            problem = "expected 'name: value'";
        else
            setRecordValue(record, name, value, problem);
        if (problem.empty()) continue;
        errors << "line " << number << ": " << problem << std::endl;
        allGood = false;
    }
    return allGood;
}

} // namespace records
