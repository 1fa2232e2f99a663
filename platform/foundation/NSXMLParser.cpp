#include "foundation/NSXMLParser.h"

#include "foundation/NSError.h"

#include <algorithm>
#include <climits>
#include <mutex>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

VX_REGISTER_CLASS(NSXMLParser);

namespace {

// Text that entity references may add beyond the document's own size before the parse is
// stopped. The reader has its own amplification checks; this is the hard ceiling.
constexpr uint64_t s_expansionAllowance = 4 * 1024 * 1024;
constexpr size_t s_chunkSize = 1 << 20;

// Parses on this thread refuse every external load, whatever path the reader takes to one.
thread_local int t_activeParses = 0;
xmlExternalEntityLoader s_previousLoader = nullptr;

xmlParserInputPtr refusingEntityLoader(const char* url, const char* id, xmlParserCtxtPtr context)
{
    if (t_activeParses > 0)
        return nullptr;
    return s_previousLoader ? s_previousLoader(url, id, context) : nullptr;
}

void setUpReader()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        xmlInitParser();
        s_previousLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(refusingEntityLoader);
    });
}

std::string text(const xmlChar* chars)
{
    return chars ? std::string(reinterpret_cast<const char*>(chars)) : std::string();
}

std::string qualified(const xmlChar* prefix, const xmlChar* localName)
{
    return prefix ? text(prefix) + ":" + text(localName) : text(localName);
}

void ignoreMessage(void*, const char*, ...) { }

} // namespace

struct NSXMLParser::Callbacks {
    static NSXMLParser* parserFor(void* context)
    {
        auto* reader = static_cast<xmlParserCtxtPtr>(context);
        return reader ? static_cast<NSXMLParser*>(reader->_private) : nullptr;
    }

    // Runs reader-side work; an exception (the delegate's or our own) stops the reader and is
    // rethrown by parse(), so none crosses the reader's C frames.
    template <typename Work> static void guarded(NSXMLParser* parser, Work&& work)
    {
        if (!parser || parser->m_aborted || parser->m_delegateException)
            return;
        try {
            work();
        } catch (...) {
            parser->m_delegateException = std::current_exception();
            if (parser->m_context)
                xmlStopParser(static_cast<xmlParserCtxtPtr>(parser->m_context));
        }
    }

    template <typename Call> static void notify(NSXMLParser* parser, Call&& call)
    {
        guarded(parser, [&] {
            if (auto delegate = parser->m_delegate.lock())
                call(*delegate, parser->self<NSXMLParser>());
        });
    }

    static void startDocument(void* context)
    {
        xmlSAX2StartDocument(context);
        notify(
            parserFor(context), [](NSXMLParserDelegate& d, const Ref<NSXMLParser>& p) { d.parserDidStartDocument(p); });
    }

    static void endDocument(void* context)
    {
        // A document that failed has no end.
        auto* parser = parserFor(context);
        if (!parser || parser->m_error || !static_cast<xmlParserCtxtPtr>(context)->wellFormed)
            return;
        notify(
            parserFor(context), [](NSXMLParserDelegate& d, const Ref<NSXMLParser>& p) { d.parserDidEndDocument(p); });
    }

    static void startElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
        int namespaceCount, const xmlChar** namespaces, int attributeCount, int, const xmlChar** attributes)
    {
        auto* parser = parserFor(context);
        guarded(parser, [&] {
            startElementIn(parser, localName, prefix, uri, namespaceCount, namespaces, attributeCount, attributes);
        });
    }

    static void startElementIn(NSXMLParser* parser, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
        int namespaceCount, const xmlChar** namespaces, int attributeCount, const xmlChar** attributes)
    {
        bool processing = parser->m_processNamespaces;
        Value dictionary = Value::mutableDictionary();
        if (!processing) {
            // The declarations are attributes as written when namespaces are not processed.
            for (int i = 0; i < namespaceCount; ++i) {
                const xmlChar* declaredPrefix = namespaces[2 * i];
                std::string name = declaredPrefix ? "xmlns:" + text(declaredPrefix) : std::string("xmlns");
                dictionary.setObjectForKey(Value(text(namespaces[2 * i + 1])), Value(name));
            }
        }
        for (int i = 0; i < attributeCount; ++i) {
            const xmlChar** attribute = attributes + 5 * i;
            std::string name = processing ? text(attribute[0]) : qualified(attribute[1], attribute[0]);
            std::string value(reinterpret_cast<const char*>(attribute[3]), size_t(attribute[4] - attribute[3]));
            dictionary.setObjectForKey(Value(value), Value(name));
        }
        auto names = elementNames(processing, localName, prefix, uri);
        notify(parser, [&](NSXMLParserDelegate& d, const Ref<NSXMLParser>& p) {
            d.parserDidStartElementNamespaceURIQualifiedNameAttributes(
                p, names.name, names.namespaceURI, names.qualifiedName, dictionary.copy());
        });
    }

    // How an element is named to the delegate: with namespace processing, by local name with
    // its namespace and qualified name beside it; without, by qualified name alone.
    struct ElementNames {
        std::string name;
        std::optional<std::string> namespaceURI;
        std::optional<std::string> qualifiedName;
    };
    static ElementNames elementNames(
        bool processing, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri)
    {
        if (!processing)
            return { qualified(prefix, localName), std::nullopt, std::nullopt };
        return { text(localName), text(uri), qualified(prefix, localName) };
    }

    static void endElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri)
    {
        auto* parser = parserFor(context);
        guarded(parser, [&] { endElementIn(parser, localName, prefix, uri); });
    }

    static void endElementIn(NSXMLParser* parser, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri)
    {
        bool processing = parser->m_processNamespaces;
        auto names = elementNames(processing, localName, prefix, uri);
        notify(parser, [&](NSXMLParserDelegate& d, const Ref<NSXMLParser>& p) {
            d.parserDidEndElementNamespaceURIQualifiedName(p, names.name, names.namespaceURI, names.qualifiedName);
        });
    }

    static void characters(void* context, const xmlChar* chars, int length)
    {
        auto* parser = parserFor(context);
        if (!parser || length <= 0 || parser->m_aborted)
            return;
        parser->m_charactersDelivered += uint64_t(length);
        uint64_t ceiling = uint64_t(parser->m_data.bytes().size()) + s_expansionAllowance;
        if (parser->m_charactersDelivered > ceiling) {
            parser->fail(NSXMLParserInternalError, "Entity expansion exceeds the allowed size");
            return;
        }
        notify(parser, [&](NSXMLParserDelegate& d, const Ref<NSXMLParser>& p) {
            d.parserFoundCharacters(p, std::string(reinterpret_cast<const char*>(chars), size_t(length)));
        });
    }

    // Entities come only from the document itself: an external one reads as undeclared, so
    // it is never fetched.
    static xmlEntityPtr entity(void* context, const xmlChar* name)
    {
        auto* reader = static_cast<xmlParserCtxtPtr>(context);
        if (!reader->inSubset) {
            if (auto predefined = xmlGetPredefinedEntity(name))
                return predefined;
        }
        if (!reader->myDoc)
            return nullptr;
        xmlEntityPtr found = xmlGetDocEntity(reader->myDoc, name);
        if (found && found->etype != XML_INTERNAL_GENERAL_ENTITY && found->etype != XML_INTERNAL_PREDEFINED_ENTITY)
            return nullptr;
        return found;
    }

    static xmlEntityPtr parameterEntity(void* context, const xmlChar* name)
    {
        auto* reader = static_cast<xmlParserCtxtPtr>(context);
        if (!reader->myDoc)
            return nullptr;
        xmlEntityPtr found = xmlGetParameterEntity(reader->myDoc, name);
        if (found && found->etype != XML_INTERNAL_PARAMETER_ENTITY)
            return nullptr;
        return found;
    }

    static xmlParserInputPtr resolveEntity(void*, const xmlChar*, const xmlChar*) { return nullptr; }

    static void error(void* context, xmlErrorPtr error)
    {
        auto* parser = parserFor(context);
        if (!parser || !error || error->level != XML_ERR_FATAL)
            return;
        guarded(parser, [&] {
            std::string message = error->message ? error->message : "";
            while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
                message.pop_back();
            parser->fail(error->code ? error->code : NSXMLParserInternalError,
                "Line " + std::to_string(error->line) + ", column " + std::to_string(error->int2) + ": " + message);
        });
    }
};

Ref<NSXMLParser> NSXMLParser::initWithData(const Value& data)
{
    if (!data.isData())
        return nullptr;
    auto parser = make<NSXMLParser>();
    parser->m_data = data;
    return parser;
}

void NSXMLParser::fail(int32_t code, const std::string& reason)
{
    if (m_error)
        return;
    m_error = NSError::errorWithDomain(NSXMLParserErrorDomain, code,
        Value::dictionary({ { Value(NSLocalizedFailureReasonErrorKey), Value(reason) } }));
    if (m_context)
        xmlStopParser(static_cast<xmlParserCtxtPtr>(m_context));
}

bool NSXMLParser::parse()
{
    auto protectedThis = self<NSXMLParser>();
    setUpReader();
    m_error = nullptr;
    m_aborted = false;
    m_charactersDelivered = 0;
    m_delegateException = nullptr;

    xmlSAXHandler handler {};
    xmlSAXVersion(&handler, 2);
    handler.startDocument = Callbacks::startDocument;
    handler.endDocument = Callbacks::endDocument;
    handler.startElement = nullptr;
    handler.endElement = nullptr;
    handler.startElementNs = Callbacks::startElement;
    handler.endElementNs = Callbacks::endElement;
    handler.characters = Callbacks::characters;
    handler.ignorableWhitespace = Callbacks::characters;
    handler.cdataBlock = Callbacks::characters;
    handler.reference = nullptr;
    handler.comment = nullptr;
    handler.processingInstruction = nullptr;
    handler.getEntity = Callbacks::entity;
    handler.getParameterEntity = Callbacks::parameterEntity;
    handler.resolveEntity = Callbacks::resolveEntity;
    handler.externalSubset = nullptr;
    handler.warning = ignoreMessage;
    handler.error = ignoreMessage;
    handler.fatalError = ignoreMessage;
    handler.serror = Callbacks::error;

    const auto& bytes = m_data.bytes();
    if (bytes.empty()) {
        fail(NSXMLParserEmptyDocumentError, "The document is empty");
        notifyError();
        return false;
    }
    const char* begin = reinterpret_cast<const char*>(bytes.data());
    size_t size = bytes.size();
    size_t head = std::min<size_t>(size, 4);

    ++t_activeParses;
    xmlParserCtxtPtr reader = xmlCreatePushParserCtxt(&handler, nullptr, begin, int(head), nullptr);
    if (!reader) {
        --t_activeParses;
        fail(NSXMLParserInternalError, "The XML reader could not be made");
        notifyError();
        return false;
    }
    reader->_private = this;
    xmlCtxtUseOptions(reader, XML_PARSE_NOENT | XML_PARSE_NONET);
    m_context = reader;

    size_t offset = head;
    do {
        size_t length = std::min(size - offset, s_chunkSize);
        bool last = offset + length >= size;
        xmlParseChunk(reader, begin + offset, int(length), last ? 1 : 0);
        offset += length;
        if (m_error || m_aborted || m_delegateException)
            break;
    } while (offset < size);

    bool wellFormed = reader->wellFormed != 0;
    m_context = nullptr;
    if (reader->myDoc)
        xmlFreeDoc(reader->myDoc);
    reader->myDoc = nullptr;
    xmlFreeParserCtxt(reader);
    --t_activeParses;

    if (m_delegateException) {
        auto exception = m_delegateException;
        m_delegateException = nullptr;
        std::rethrow_exception(exception);
    }
    if (m_aborted) {
        m_error = nullptr;
        fail(NSXMLParserDelegateAbortedParseError, "The delegate aborted the parse");
    } else if (!m_error && !wellFormed) {
        fail(NSXMLParserInternalError, "The document is not well formed");
    }
    if (!m_error)
        return true;
    notifyError();
    return false;
}

void NSXMLParser::notifyError()
{
    auto delegate = m_delegate.lock();
    if (delegate)
        delegate->parserParseErrorOccurred(self<NSXMLParser>(), m_error);
}

void NSXMLParser::abortParsing()
{
    if (!m_context || m_aborted)
        return;
    m_aborted = true;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(m_context));
}
