#pragma once

#include "networking/VNHTTPResponseSerializer.h"
#include "networking/VNURLConnectionOperation.h"

// A connection operation for HTTP: once finished, its body is turned into `responseObject` by
// its response serializer on a shared concurrent processing queue, and the outcome goes to a
// success or a failure block on the completion queue. Pausing rewrites the request so that a
// resumed load asks only for the missing bytes. Any thread, as its base.
class VNHTTPRequestOperation : public VNURLConnectionOperation {
    VX_OBJECT(VNHTTPRequestOperation, VNURLConnectionOperation)
public:
    using SuccessBlock = std::function<void(const Ref<VNHTTPRequestOperation>&, const Value& responseObject)>;
    using FailureBlock = std::function<void(const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&)>;

    explicit VNHTTPRequestOperation(Passkey key)
        : VNURLConnectionOperation(key)
    {
    }

    // The base initialisation, with a plain HTTP response serializer.
    static Ref<VNHTTPRequestOperation> initWithRequest(const Ref<NSURLRequest>& request);

    Ref<NSHTTPURLResponse> HTTPResponse() const;

    Ref<VNHTTPResponseSerializer> responseSerializer() const;
    // Discards the response object and any serialization error, so the next read serializes
    // again with the new serializer.
    void setResponseSerializer(Ref<VNHTTPResponseSerializer> serializer);
    // Serialized on the first read after the operation finished without error; nil before.
    Value responseObject();
    Ref<NSError> responseSerializationError() const;
    // The serialization error when there is one, else the connection error.
    Ref<NSError> error() const override;

    // Either block may be nullptr. A cancelled operation reaches the failure block.
    void setCompletionBlockWithSuccessFailure(SuccessBlock success, FailureBlock failure);

    // Asks the resumed load for the bytes after those already written ("Range", and "If-Range"
    // with the response's ETag), then pauses as the base does.
    void pause() override;

    // A new operation on the same request with a copy of the response serializer and the same
    // completion queue and group.
    Ref<VNURLConnectionOperation> copy() const override;

    // The base archive plus the response serializer.
    void encodeWithCoder(NSCoder& coder) override;
    static Ref<VNHTTPRequestOperation> initWithCoder(NSCoder& coder);

private:
    Ref<VNHTTPResponseSerializer> m_responseSerializer;
    Value m_responseObject;
    Ref<NSError> m_responseSerializationError;
};
