// A record kind's file reader (the kind is FUZZ_RECORD, one target per kind).
// A file that reads to its end and may be saved must save as a fixed point:
// writing it, reading that back and writing again gives the same text.
#include "records/record_io.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace {

std::string fileText(const FUZZ_RECORD& record) {
    std::ostringstream out;
    {
        records::FileWriter writer(out);
        FUZZ_RECORD::fields(record, writer);
    }
    return out.str();
}

bool readFile(const std::string& text, FUZZ_RECORD& record) {
    std::istringstream in(text);
    records::FileReader reader(in);
    FUZZ_RECORD::fields(record, reader);
    return reader.ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FUZZ_RECORD record;
    records::store(record.id, "1");
    if (!readFile(std::string(reinterpret_cast<const char*>(data), size), record)) return 0;
    if (!records::saveProblem(record).empty()) return 0;
    const std::string saved = fileText(record);
    FUZZ_RECORD back;
    records::store(back.id, "1");
    if (!readFile(saved, back) || fileText(back) != saved) std::abort();
    return 0;
}
