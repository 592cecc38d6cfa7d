// The record tool's text input ("name: value" lines); the first byte picks
// the kind. Text the tool accepts and may save must survive the file form:
// its file, read back and written again, is the same text.
#include "records/record_text.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace {

template <class R> std::string fileText(const R& record) {
    std::ostringstream out;
    {
        records::FileWriter writer(out);
        R::fields(record, writer);
    }
    return out.str();
}

template <class R> void run(const std::string& text) {
    R record;
    std::istringstream in(text);
    std::ostringstream errors;
    const bool accepted = records::readRecordText(record, in, errors);
    if (accepted != errors.str().empty()) std::abort();
    if (!accepted || !records::saveProblem(record).empty()) return;
    const std::string saved = fileText(record);
    R back;
    std::istringstream file(saved);
    records::FileReader reader(file);
    R::fields(back, reader);
    if (!reader.ok || fileText(back) != saved) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 6) {
    case 0:
        run<StoryRecord>(text);
        break;
    case 1:
        run<SkillRecord>(text);
        break;
    case 2:
        run<QuestRecord>(text);
        break;
    case 3:
        run<ItemRecord>(text);
        break;
    case 4:
        run<NPCRecord>(text);
        break;
    default:
        run<ObjectRecord>(text);
        break;
    }
    return 0;
}
