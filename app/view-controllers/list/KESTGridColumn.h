#pragma once

#include "foundation/NSObject.h"

#include <string>

// A column of the aircraft list as a pair of texts: its title and the name of the plane
// property it shows. Immutable. Any thread.
class KESTGridColumn : public NSObject {
    VX_OBJECT(KESTGridColumn, NSObject)
public:
    KESTGridColumn(Passkey key, std::string columnTitle, std::string referenceObject)
        : NSObject(key)
        , m_columnTitle(std::move(columnTitle))
        , m_referenceObject(std::move(referenceObject))
    {
    }
    static Ref<KESTGridColumn> initWithColumnTitleReferenceObject(std::string columnTitle, std::string referenceObject)
    {
        return make<KESTGridColumn>(std::move(columnTitle), std::move(referenceObject));
    }

    const std::string& columnTitle() const { return m_columnTitle; }
    const std::string& referenceObject() const { return m_referenceObject; }

private:
    std::string m_columnTitle;
    std::string m_referenceObject;
};
