#pragma once

#include <string>

// How a message box presents itself; the shell maps these to its own icons.
enum class MessageIcon
{
    None,
    Error,
    Exclamation
};

struct Message
{
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const Message& other) const
    {
        return text == other.text && caption == other.caption && icon == other.icon;
    }
};

// Every message the core has for the user leaves it through this interface:
// the shell shows a modal message box and returns when the user closed it.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const Message& message) = 0;
};
