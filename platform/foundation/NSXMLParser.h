#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <exception>
#include <optional>
#include <string>

class NSError;
class NSXMLParser;

// The domain of parse errors. Codes are those of the underlying XML reader (1 internal error,
// 4 empty document, 5 premature end, 9 invalid character, ...), and 512 when the delegate
// aborted the parse.
inline constexpr const char* NSXMLParserErrorDomain = "NSXMLParserErrorDomain";
enum NSXMLParserError : int32_t {
    NSXMLParserInternalError = 1,
    NSXMLParserEmptyDocumentError = 4,
    NSXMLParserDelegateAbortedParseError = 512,
};

// What a parser tells its delegate while it reads; every call is optional. Calls arrive on the
// thread that called parse(), in document order. Text may come in several pieces.
class NSXMLParserDelegate {
public:
    virtual ~NSXMLParserDelegate() = default;
    virtual void parserDidStartDocument(const Ref<NSXMLParser>&) { }
    virtual void parserDidEndDocument(const Ref<NSXMLParser>&) { }
    // Without namespace processing `elementName` is the name as written ("p:item") and the
    // namespace and qualified name are absent; with it, `elementName` is the local name.
    // `attributes` is a dictionary of names to values in document order.
    virtual void parserDidStartElementNamespaceURIQualifiedNameAttributes(const Ref<NSXMLParser>&,
        const std::string& /*elementName*/, const std::optional<std::string>& /*namespaceURI*/,
        const std::optional<std::string>& /*qualifiedName*/, const Value& /*attributes*/)
    {
    }
    virtual void parserDidEndElementNamespaceURIQualifiedName(const Ref<NSXMLParser>&,
        const std::string& /*elementName*/, const std::optional<std::string>& /*namespaceURI*/,
        const std::optional<std::string>& /*qualifiedName*/)
    {
    }
    // Text, CDATA sections included, with entity and character references replaced.
    virtual void parserFoundCharacters(const Ref<NSXMLParser>&, const std::string& /*characters*/) { }
    // Once, for the error that ended the parse.
    virtual void parserParseErrorOccurred(const Ref<NSXMLParser>&, const Ref<NSError>& /*error*/) { }
};

// An event-driven XML reader over a document held in memory. It never loads anything from
// outside the document: external entities and external document type definitions are
// refused, and entity expansion is bounded, so a hostile document cannot read files, reach
// the network or blow up in memory. A malformed document ends the parse with an error.
// parse() runs on the calling thread; use one parser on one thread at a time.
class NSXMLParser : public NSObject {
    VX_OBJECT(NSXMLParser, NSObject)
public:
    explicit NSXMLParser(Passkey key)
        : NSObject(key)
    {
    }

    // nullptr unless `data` is a data value.
    static Ref<NSXMLParser> initWithData(const Value& data);

    Weak<NSXMLParserDelegate> delegate() const { return m_delegate; }
    void setDelegate(Weak<NSXMLParserDelegate> delegate) { m_delegate = std::move(delegate); }
    bool shouldProcessNamespaces() const { return m_processNamespaces; }
    void setShouldProcessNamespaces(bool process) { m_processNamespaces = process; }

    // Reads the whole document, calling the delegate. True when the document is well formed and
    // nobody aborted; otherwise parserError() says why. An exception thrown by the delegate
    // ends the parse and leaves parse() after the reader has been cleaned up.
    bool parse();
    // Stops a running parse (from a delegate call); parse() then fails with code 512.
    void abortParsing();
    // The error of the last parse, or nullptr.
    Ref<NSError> parserError() const { return m_error; }

    // Reader callbacks (internal).
    struct Callbacks;

private:
    // Records the first error and stops the reader.
    void fail(int32_t code, const std::string& reason);
    void notifyError();

    Value m_data;
    Weak<NSXMLParserDelegate> m_delegate;
    bool m_processNamespaces { false };
    Ref<NSError> m_error;
    void* m_context { nullptr }; // the running reader, while parse() runs
    bool m_aborted { false };
    uint64_t m_charactersDelivered { 0 };
    std::exception_ptr m_delegateException;
};
