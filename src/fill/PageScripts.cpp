#include "fill/PageScripts.h"

#include "common/Json.h"

namespace {

// Called with the names the scripts share (formHookObject, formHookFunction),
// returns the function that carries out a plan. It finds each step's element
// among all elements by name or id, writes inputs of every type and text
// areas, and skips everything else. Each write is announced with bubbling
// input and change events, so pages driven by their own scripts see the new
// value. Prototype methods are called directly, so that elements named like
// DOM methods cannot take their place.
const char* const fillFunction = R"JS((function (hookObject, hookFunction) {
    'use strict';
    function find(name, index) {
        if (index < 0)
            return null;
        var all = document.getElementsByTagName('*');
        for (var i = 0; i < all.length; ++i) {
            var element = all[i];
            if (element.id === name || element.getAttribute('name') === name) {
                if (index === 0)
                    return element;
                --index;
            }
        }
        return null;
    }
    function write(element, prototype, text) {
        try {
            Object.getOwnPropertyDescriptor(prototype, 'value').set.call(element, text);
        } catch (e) {
            return false;
        }
        var dispatch = EventTarget.prototype.dispatchEvent;
        dispatch.call(element, new Event('input', {bubbles: true}));
        dispatch.call(element, new Event('change', {bubbles: true}));
        return true;
    }
    return function (plan) {
        var form = null;
        var written = 0;
        for (var i = 0; i < plan.length; ++i) {
            var step = plan[i];
            var element = find(step[0], step[1]);
            var prototype = element instanceof HTMLInputElement ? HTMLInputElement.prototype
                : element instanceof HTMLTextAreaElement ? HTMLTextAreaElement.prototype : null;
            if (!prototype)
                continue;
            if (write(element, prototype, step[2]))
                ++written;
            form = Object.getOwnPropertyDescriptor(prototype, 'form').get.call(element);
        }
        var hooks = window[hookObject];
        if (form && hooks && typeof hooks[hookFunction] === 'function')
            hooks[hookFunction](form);
        return written;
    };
}))JS";

// Called with the names the scripts share (formSubmitSinkObject,
// formHookObject, formHookFunction): connects to the web channel and
// defines the hook function.
const char* const submitHookFunction = R"JS(
(function (sinkObject, hookObject, hookFunction) {
    'use strict';
    var sink = null;
    var waiting = 0;
    new QWebChannel(qt.webChannelTransport, function (channel) {
        sink = channel.objects[sinkObject];
        for (; waiting > 0; --waiting)
            sink.formSubmitted();
    });
    function reportSubmission() {
        if (sink)
            sink.formSubmitted();
        else
            ++waiting;
    }
    var hooks = {};
    hooks[hookFunction] = function (form) {
        // The same listener added twice is still one listener. The
        // prototype's method is used, as a form control named
        // "addEventListener" would hide the form's own.
        EventTarget.prototype.addEventListener.call(form, 'submit', reportSubmission);
    };
    window[hookObject] = hooks;
}))JS";

} // namespace

std::string FillScript(const std::vector<FillStep>& plan)
{
    std::string data = "[";
    for (const FillStep& step : plan) {
        if (data.size() > 1)
            data += ',';
        data += '[' + JsonQuote(step.name) + ',' + std::to_string(step.index) + ',' +
            JsonQuote(step.text) + ']';
    }
    data += ']';
    return fillFunction +
        ('(' + JsonQuote(formHookObject) + ',' + JsonQuote(formHookFunction) + ")(" + data + ");");
}

std::string SubmitHookScript()
{
    return submitHookFunction +
        ('(' + JsonQuote(formSubmitSinkObject) + ',' + JsonQuote(formHookObject) + ',' +
            JsonQuote(formHookFunction) + ");\n");
}

std::string PageHtmlScript()
{
    // Prototype members are used, as elsewhere: a document's named elements
    // (<img name="documentElement">) would hide its own. A frame of another
    // origin gives no document.
    return R"JS((function () {
    'use strict';
    function getter(prototype, name) {
        return Object.getOwnPropertyDescriptor(prototype, name).get;
    }
    var rootOf = getter(Document.prototype, 'documentElement');
    var htmlOf = getter(Element.prototype, 'outerHTML');
    var nameOf = getter(Element.prototype, 'localName');
    var innerOf = {iframe: getter(HTMLIFrameElement.prototype, 'contentDocument'),
        frame: getter(HTMLFrameElement.prototype, 'contentDocument')};
    var select = Document.prototype.querySelectorAll;
    var parts = [];
    function read(doc) {
        var root = rootOf.call(doc);
        if (!root)
            return;
        parts.push(htmlOf.call(root));
        var frames = select.call(doc, 'iframe, frame');
        for (var i = 0; i < frames.length; ++i) {
            var inner = null;
            try {
                inner = innerOf[nameOf.call(frames[i])].call(frames[i]);
            } catch (e) {
                inner = null;
            }
            if (inner)
                read(inner);
        }
    }
    read(document);
    return parts.join('\n');
})();)JS";
}
