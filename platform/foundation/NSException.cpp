#include "NSException.h"

NSException::NSException(std::string name, std::string reason, Value userInfo)
    : m_name(std::move(name))
    , m_reason(std::move(reason))
    , m_userInfo(std::move(userInfo))
    , m_what(m_name + ": " + m_reason)
{
}

void NSException::raise(std::string name, std::string reason, Value userInfo)
{
    throw NSException(std::move(name), std::move(reason), std::move(userInfo));
}
