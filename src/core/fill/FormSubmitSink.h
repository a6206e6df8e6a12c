#pragma once

// What a hooked form calls when the user submits it. The submission itself
// always goes ahead; the sink only learns of it.
class FormSubmitSink
{
public:
    virtual ~FormSubmitSink() = default;
    virtual void OnFormSubmit() { }
};
