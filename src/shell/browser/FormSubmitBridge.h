#pragma once

#include <QObject>

class FormSubmitSink;

// The object the page's isolated script world reaches through the web
// channel. A hooked form calls formSubmitted(), which passes the call on to
// the sink on the user-interface thread.
class FormSubmitBridge : public QObject
{
    Q_OBJECT

public:
    FormSubmitBridge(FormSubmitSink& sink, QObject* parent = nullptr);

    Q_INVOKABLE void formSubmitted();

private:
    FormSubmitSink& sink;
};
