#pragma once

#include <string>

// The outcome of an operation that can fail. A default Result is a success;
// a failure says why in words for people and, where there is one, carries
// the error number (an errno value) that names the kind of failure, so a
// caller can answer one kind without reading the words. Failures are made
// by Failure and SystemFailure only.
class Result
{
public:
    Result() = default;

    // A failure for `reason`, with `errorNumber` where one applies.
    static Result Failure(std::string reason, int errorNumber = 0);
    // A failure the system reported through `errorNumber`; the reason reads
    // "<what>: <the system's text for errorNumber>".
    static Result SystemFailure(const std::string& what, int errorNumber);

    explicit operator bool() const { return !failed; }
    // Why the operation failed; empty for a success.
    const std::string& Reason() const { return reason; }
    // The error number of a failure; 0 for a success or when none applies.
    int ErrorNumber() const { return errorNumber; }

private:
    bool failed = false;
    std::string reason;
    int errorNumber = 0;
};
