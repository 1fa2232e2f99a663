#include "networking/VNHTTPRequestOperation.h"

#include "foundation/NSCoder.h"
#include "foundation/NSError.h"
#include "foundation/NSLock.h"
#include "foundation/NSString.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSStream.h"
#include "net/NSURLRequest.h"

VX_REGISTER_CODING_CLASS(VNHTTPRequestOperation);

namespace {

dispatch_queue_t processingQueue()
{
    static dispatch_queue_t s_queue
        = dispatch_queue_create("com.vnnet.networking.http-request.processing", DISPATCH_QUEUE_CONCURRENT);
    return s_queue;
}

dispatch_group_t httpCompletionGroup()
{
    static dispatch_group_t s_group = dispatch_group_create();
    return s_group;
}

} // namespace

Ref<VNHTTPRequestOperation> VNHTTPRequestOperation::initWithRequest(const Ref<NSURLRequest>& request)
{
    auto operation = make<VNHTTPRequestOperation>();
    operation->initializeWithRequest(request);
    operation->m_responseSerializer = VNHTTPResponseSerializer::serializer();
    return operation;
}

Ref<NSHTTPURLResponse> VNHTTPRequestOperation::HTTPResponse() const
{
    return std::dynamic_pointer_cast<NSHTTPURLResponse>(response());
}

Ref<VNHTTPResponseSerializer> VNHTTPRequestOperation::responseSerializer() const
{
    std::lock_guard guard(*lock());
    return m_responseSerializer;
}

void VNHTTPRequestOperation::setResponseSerializer(Ref<VNHTTPResponseSerializer> serializer)
{
    std::lock_guard guard(*lock());
    m_responseSerializer = std::move(serializer);
    m_responseObject = Value();
    m_responseSerializationError = nullptr;
}

Ref<NSError> VNHTTPRequestOperation::responseSerializationError() const
{
    std::lock_guard guard(*lock());
    return m_responseSerializationError;
}

Ref<NSError> VNHTTPRequestOperation::error() const
{
    std::lock_guard guard(*lock());
    if (m_responseSerializationError)
        return m_responseSerializationError;
    return VNURLConnectionOperation::error();
}

Value VNHTTPRequestOperation::responseObject()
{
    std::lock_guard guard(*lock());
    if (m_responseObject.isNil() && isFinished() && !error() && m_responseSerializer) {
        Ref<NSError> serializationError;
        m_responseObject
            = m_responseSerializer->responseObjectForResponseDataError(response(), responseData(), &serializationError);
        if (serializationError)
            m_responseSerializationError = serializationError;
    }
    return m_responseObject;
}

void VNHTTPRequestOperation::setCompletionBlockWithSuccessFailure(SuccessBlock success, FailureBlock failure)
{
    // The block holds the operation until the base class removes it after running it.
    auto self = this->self<VNHTTPRequestOperation>();
    setCompletionBlock([self, success, failure] {
        auto callerGroup = self->completionGroup();
        if (callerGroup)
            dispatch_group_enter(callerGroup);
        dispatch_async(processingQueue(), [self, success, failure, callerGroup] {
            auto group = callerGroup ? callerGroup : httpCompletionGroup();
            auto queue = self->completionQueue() ? self->completionQueue() : dispatch_get_main_queue();
            auto deliverFailure = [&] {
                if (failure) {
                    dispatch_group_async(
                        group, queue, [self, failure, error = self->error()] { failure(self, error); });
                }
            };
            if (self->error()) {
                deliverFailure();
            } else {
                Value object = self->responseObject();
                if (self->error()) {
                    deliverFailure();
                } else if (success) {
                    dispatch_group_async(group, queue, [self, success, object] { success(self, object); });
                }
            }
            if (callerGroup)
                dispatch_group_leave(callerGroup);
        });
    });
}

void VNHTTPRequestOperation::pause()
{
    uint64_t offset = 0;
    auto stream = outputStream();
    Value fileOffset = stream->propertyForKey(NSStreamFileCurrentOffsetKey);
    if (fileOffset.isNumber()) {
        offset = fileOffset.unsignedLongLongValue();
    } else {
        Value written = stream->propertyForKey(NSStreamDataWrittenToMemoryStreamKey);
        if (written.isData())
            offset = written.bytes().size();
    }

    auto current = request();
    if (current) {
        auto rewritten = current->mutableCopy();
        if (auto http = HTTPResponse()) {
            Value etag = http->allHeaderFields()["ETag"];
            if (etag.isString())
                rewritten->setValueForHTTPHeaderField(etag.stringValue(), "If-Range");
        }
        rewritten->setValueForHTTPHeaderField(
            NSString::stringWithFormat("bytes=%llu-", (unsigned long long)offset), "Range");
        setRequest(rewritten);
    }
    VNURLConnectionOperation::pause();
}

Ref<VNURLConnectionOperation> VNHTTPRequestOperation::copy() const
{
    auto operation = initWithRequest(request());
    auto serializer = responseSerializer();
    operation->setResponseSerializer(serializer ? serializer->copy() : nullptr);
    operation->setCompletionQueue(completionQueue());
    operation->setCompletionGroup(completionGroup());
    return operation;
}

void VNHTTPRequestOperation::encodeWithCoder(NSCoder& coder)
{
    VNURLConnectionOperation::encodeWithCoder(coder);
    coder.encodeObjectForKey(Value::object(responseSerializer()), "responseSerializer");
}

Ref<VNHTTPRequestOperation> VNHTTPRequestOperation::initWithCoder(NSCoder& coder)
{
    auto operation = make<VNHTTPRequestOperation>();
    operation->initializeWithCoder(coder);
    operation->m_responseSerializer = VNHTTPResponseSerializer::serializer();
    operation->setResponseSerializer(
        coder.decodeObjectForKey("responseSerializer").objectAs<VNHTTPResponseSerializer>());
    return operation;
}
