#include "shell/browser/FormSubmitBridge.h"

#include "core/fill/FormSubmitSink.h"

FormSubmitBridge::FormSubmitBridge(FormSubmitSink& sink, QObject* parent)
    : QObject(parent)
    , sink(sink)
{
}

void FormSubmitBridge::formSubmitted()
{
    sink.OnFormSubmit();
}
