#include "core/common/Result.h"

#include <cstring>
#include <utility>

Result Result::Failure(std::string reason, int errorNumber)
{
    Result result;
    result.failed = true;
    result.reason = std::move(reason);
    result.errorNumber = errorNumber;
    return result;
}

Result Result::SystemFailure(const std::string& what, int errorNumber)
{
    return Failure(what + ": " + std::strerror(errorNumber), errorNumber);
}
