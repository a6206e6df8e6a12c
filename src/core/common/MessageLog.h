#pragma once

#include "core/common/MessageSink.h"

#include <vector>

// Keeps the messages instead of showing them, in the order they were raised.
class MessageLog : public MessageSink
{
public:
    void ShowMessage(const Message& message) override { messages.push_back(message); }

    std::vector<Message> messages;
};
