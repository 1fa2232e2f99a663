// Schedule records: fields split from the input at '|' (84 or more make a record) parse into
// a dictionary, or nil for too few fields.
#include "app/core/KESTFlightDataManager.h"
#include "fuzz/FuzzCheck.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto manager = KESTFlightDataManager::init();
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<Value> fields;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find('|', start);
        fields.emplace_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    Value parsed = manager->parseOAGData(Value::array(std::move(fields)));
    fuzzCheck(parsed.isNil() || parsed.isDictionary(), "a schedule record parsed into something else");
    if (!parsed.isNil())
        (void)parsed.description();
    return 0;
}
