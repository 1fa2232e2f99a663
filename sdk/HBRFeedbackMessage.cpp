#include "sdk/HBRFeedbackMessage.h"

#include "foundation/NSCoder.h"
#include "foundation/NSDate.h"

VX_REGISTER_CODING_CLASS(HBRFeedbackMessage);

namespace {

Value optionalString(const std::optional<std::string>& text)
{
    return text ? Value(*text) : Value();
}

std::optional<std::string> stringFrom(const Value& value)
{
    if (value.isString())
        return value.string();
    return std::nullopt;
}

} // namespace

Ref<HBRFeedbackMessage> HBRFeedbackMessage::init()
{
    auto message = make<HBRFeedbackMessage>();
    message->date = NSDate::date()->timeIntervalSince1970();
    return message;
}

Ref<HBRFeedbackMessage> HBRFeedbackMessage::initWithCoder(NSCoder& coder)
{
    auto message = make<HBRFeedbackMessage>();
    message->text = stringFrom(coder.decodeObjectForKey("text"));
    message->userID = stringFrom(coder.decodeObjectForKey("userID"));
    message->name = stringFrom(coder.decodeObjectForKey("name"));
    message->email = stringFrom(coder.decodeObjectForKey("email"));
    Value date = coder.decodeObjectForKey("date");
    if (date.isDate())
        message->date = date.dateValue();
    Value id = coder.decodeObjectForKey("id");
    message->id = id.isNumber() ? id.longLongValue() : 0;
    message->status = coder.decodeIntForKey("status");
    message->userMessage = coder.decodeBoolForKey("userMessage");
    message->token = stringFrom(coder.decodeObjectForKey("token"));
    return message;
}

void HBRFeedbackMessage::encodeWithCoder(NSCoder& coder)
{
    coder.encodeObjectForKey(optionalString(text), "text");
    coder.encodeObjectForKey(optionalString(userID), "userID");
    coder.encodeObjectForKey(optionalString(name), "name");
    coder.encodeObjectForKey(optionalString(email), "email");
    coder.encodeObjectForKey(date ? Value::date(*date) : Value(), "date");
    coder.encodeObjectForKey(Value(int64_t(id)), "id");
    coder.encodeIntForKey(status, "status");
    coder.encodeBoolForKey(userMessage, "userMessage");
    coder.encodeObjectForKey(optionalString(token), "token");
}
