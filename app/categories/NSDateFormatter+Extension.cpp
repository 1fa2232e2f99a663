#include "app/categories/NSDateFormatter+Extension.h"

#include "foundation/NSDateFormatter.h"

namespace NSDateFormatter_Extension {

std::optional<std::string> dateStringFromStringSourceFormatDestinationFormat(
    const std::string& string, const std::string& sourceFormat, const std::string& destinationFormat)
{
    auto formatter = NSDateFormatter::init();
    formatter->setFormatterBehavior(NSDateFormatterBehavior10_4);
    formatter->setDateFormat(sourceFormat);
    auto date = formatter->dateFromString(string);
    if (!date)
        return std::nullopt;
    formatter->setDateFormat(destinationFormat);
    return formatter->stringFromDate(date);
}

} // namespace NSDateFormatter_Extension
