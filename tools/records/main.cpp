// zeb-records KIND load|save: authoring of record files by hand.
//
// `load` asks for the record number as the game does, reads that record's file
// and lists the record as "name: value" lines. `save` reads such lines from
// standard input and writes the record's file; any unknown name or bad value is
// reported with its line number and nothing is written.

#include "records/record_text.h"

#include <iostream>
#include <string_view>

namespace {

const char* const USAGE = "usage: zeb-records story|skill|quest|item|npc|object load|save";

template <class R> int loadAndList() {
    R record;
    const bool complete = record.load();
    std::cout << '\n';
    if (records::text(record.id).empty()) return 1; // the number was refused
    records::printRecordText(record, std::cout);
    if (complete) return 0;
    std::cerr << "zeb-records: "
              << records::recordFileName(records::text(record.id), R::KIND.extension)
              << " is missing or was not read to its end" << std::endl;
    return 1;
}

template <class R> int readAndSave() {
    R record;
    if (!records::readRecordText(record, std::cin, std::cerr)) {
        std::cerr << "zeb-records: nothing written" << std::endl;
        return 1;
    }
    return record.save() ? 0 : 1;
}

template <class R> bool runKind(std::string_view kind, std::string_view mode, int& status) {
    if (kind != R::KIND.name) return false;
    status = mode == "load" ? loadAndList<R>() : readAndSave<R>();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 3 ? argv[2] : "";
    if (mode != "load" && mode != "save") {
        std::cerr << USAGE << std::endl;
        return 2;
    }
    const std::string_view kind = argv[1];
    int status = 2;
    if (runKind<StoryRecord>(kind, mode, status) || runKind<SkillRecord>(kind, mode, status) ||
        runKind<QuestRecord>(kind, mode, status) || runKind<ItemRecord>(kind, mode, status) ||
        runKind<NPCRecord>(kind, mode, status) || runKind<ObjectRecord>(kind, mode, status))
        return status;
    std::cerr << USAGE << std::endl;
    return 2;
}
