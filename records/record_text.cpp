#include "records/record_text.h"

namespace records {

bool hasBlank(std::string_view text) {
    for (char c : text)
        if (isBlank(c)) return true;
    return false;
}

void TextPrinter::list(const char* name, const IntList& field) {
    out << name << ':';
    for (const IntNode* n = field.head; n; n = n->next)
        out << ' ' << n->value;
    out << '\n';
}

void TextSetter::list(const char* member, IntList& field) {
    if (!claim(member)) return;
    IntList values;
    std::string_view rest = value;
    while (!rest.empty()) {
        const std::size_t blank = rest.find(' ');
        const std::string_view item = rest.substr(0, blank);
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        int number = 0;
        // -1 marks the end of the list in the file, so it cannot be a value.
        if (item.empty() || !parseNumber(item, number) || number == -1) {
            expected = "whole numbers other than -1, separated by single blanks";
            return;
        }
        values.append(number);
    }
    field.swap(values);
}

bool splitNameValue(std::string_view line, std::string_view& name, std::string_view& value) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    name = line.substr(0, colon);
    while (!name.empty() && isBlank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && isBlank(name.back()))
        name.remove_suffix(1);
    value = line.substr(colon + 1);
    if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return !name.empty();
}

} // namespace records
