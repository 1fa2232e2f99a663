// XML: the event parser reads any bytes to the end or to an error, with a delegate that sees
// every event.
#include "foundation/NSXMLParser.h"
#include "fuzz/FuzzCheck.h"

namespace {

class Counting : public NSXMLParserDelegate {
public:
    void parserDidStartElementNamespaceURIQualifiedNameAttributes(const Ref<NSXMLParser>&, const std::string& name,
        const std::optional<std::string>&, const std::optional<std::string>&, const Value& attributes) override
    {
        ++depth;
        (void)attributes.description();
        (void)name;
    }
    void parserDidEndElementNamespaceURIQualifiedName(const Ref<NSXMLParser>&, const std::string&,
        const std::optional<std::string>&, const std::optional<std::string>&) override
    {
        --depth;
    }
    int depth { 0 };
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto parser = NSXMLParser::initWithData(Value::data(data, size));
    if (!parser)
        return 0;
    auto delegate = std::make_shared<Counting>();
    parser->setDelegate(delegate);
    bool parsed = parser->parse();
    if (parsed)
        fuzzCheck(delegate->depth == 0, "a parsed document left elements open");
    return 0;
}
