#include "core/fill/PageScripts.h"

#include "core/common/Json.h"
#include "core/fill/PageWalkScript.h"

namespace {

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

const char* PageWalkScript()
{
    return R"JS(
    'use strict';
    function property(prototype, name) {
        return Object.getOwnPropertyDescriptor(prototype, name);
    }
    var classOf = Object.prototype.toString;
    var elementId = property(Element.prototype, 'id').get;
    var elementName = property(Element.prototype, 'localName').get;
    var getAttribute = Element.prototype.getAttribute;
    var querySelectorAll = Element.prototype.querySelectorAll;
    var closest = Element.prototype.closest;
    var shadowRoot = property(Element.prototype, 'shadowRoot').get;
    var framed = {
        HTMLIFrameElement: property(HTMLIFrameElement.prototype, 'contentDocument').get,
        HTMLFrameElement: property(HTMLFrameElement.prototype, 'contentDocument').get
    };
    function kindOf(node) {
        return classOf.call(node).slice(8, -1);
    }
    function frameDocument(element, kind) {
        try {
            return framed[kind] ? framed[kind].call(element) : null;
        } catch (e) {
            return null;
        }
    }
    function eachElement(visit) {
        (function walk(root) {
            var all = root.querySelectorAll('*');
            var inner = [];
            for (var i = 0; i < all.length; ++i) {
                var element = all[i];
                var kind = kindOf(element);
                visit(element, kind);
                var below = shadowRoot.call(element) || frameDocument(element, kind);
                if (below)
                    inner.push(below);
            }
            for (var j = 0; j < inner.length; ++j)
                walk(inner[j]);
        })(document);
    }
)JS";
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

std::string FormFieldsScript()
{
    // The walk is the fill's, so that names and indexes are those the fill
    // will find the fields by.
    return std::string("(function () {") + PageWalkScript() + R"JS(
    var editable = property(HTMLElement.prototype, 'isContentEditable').get;
    var parentNode = property(Node.prototype, 'parentNode').get;
    var cloneNode = Node.prototype.cloneNode;
    var removeChild = Node.prototype.removeChild;
    var textContent = property(Node.prototype, 'textContent').get;
    var input = HTMLInputElement.prototype;
    var inputType = property(input, 'type').get;
    var inputValue = property(input, 'value').get;
    var inputForm = property(input, 'form').get;
    var labelsOf = {
        HTMLInputElement: property(input, 'labels').get,
        HTMLTextAreaElement: property(HTMLTextAreaElement.prototype, 'labels').get,
        HTMLSelectElement: property(HTMLSelectElement.prototype, 'labels').get
    };
    var options = property(HTMLSelectElement.prototype, 'options').get;
    var optionValue = property(HTMLOptionElement.prototype, 'value').get;
    var optionText = property(HTMLOptionElement.prototype, 'text').get;
    var leftOut = {hidden: true, submit: true, button: true, reset: true, image: true, file: true};
    var kinds = {password: 'password', email: 'email', checkbox: 'checkbox', radio: 'radio'};

    function simplified(text) {
        return (text || '').replace(/\s+/g, ' ').trim();
    }
    function isEditable(element) {
        try {
            return editable.call(element);
        } catch (e) {
            return false;
        }
    }
    function isEditableFrame(element, kind) {
        var doc = frameDocument(element, kind);
        var body = doc && doc.body;
        return !!body && (doc.designMode === 'on' || isEditable(body));
    }
    // A label's own text, without that of the controls it wraps.
    function labelText(label) {
        var copy = cloneNode.call(label, true);
        var inner = querySelectorAll.call(copy, 'input, select, textarea, button');
        for (var i = 0; i < inner.length; ++i)
            removeChild.call(parentNode.call(inner[i]), inner[i]);
        return simplified(textContent.call(copy));
    }
    function labelOf(element, kind) {
        var list = labelsOf[kind] ? labelsOf[kind].call(element) : null;
        var texts = [];
        for (var i = 0; list && i < list.length; ++i) {
            var text = labelText(list[i]);
            if (text)
                texts.push(text);
        }
        if (texts.length > 0)
            return texts.join(' ');
        return simplified(getAttribute.call(element, 'aria-label')) ||
            simplified(getAttribute.call(element, 'placeholder'));
    }
    function legendOf(element) {
        var fieldset = closest.call(element, 'fieldset');
        var legend = fieldset && querySelectorAll.call(fieldset, 'legend')[0];
        return legend ? simplified(textContent.call(legend)) : '';
    }

    var fields = [];
    var counts = new Map();
    var groups = new Map();
    function count(key) {
        var seen = counts.get(key) || 0;
        counts.set(key, seen + 1);
        return seen;
    }
    function consider(element, kind, key, index) {
        var tag = elementName.call(element);
        var field = {label: '', name: key, index: index, kind: '', options: []};
        if (kind === 'HTMLInputElement') {
            var type = inputType.call(element);
            if (leftOut[type])
                return;
            field.kind = kinds[type] || 'text';
            if (type === 'radio') {
                var form = inputForm.call(element);
                var group = groups.get(form) || new Map();
                groups.set(form, group);
                var first = group.get(key);
                var choice = [inputValue.call(element), labelOf(element, kind)];
                if (first) {
                    first.options.push(choice);
                    return;
                }
                group.set(key, field);
                field.label = legendOf(element);
                field.options.push(choice);
                fields.push(field);
                return;
            }
        } else if (kind === 'HTMLTextAreaElement') {
            field.kind = 'textarea';
        } else if (kind === 'HTMLSelectElement') {
            field.kind = 'select';
            var list = options.call(element);
            for (var i = 0; i < list.length; ++i)
                field.options.push([optionValue.call(list[i]), simplified(optionText.call(list[i]))]);
        } else if (framed[kind] ? isEditableFrame(element, kind)
                : isEditable(element) && !isEditable(parentNode.call(element))) {
            field.kind = 'editor';
        } else {
            return;
        }
        field.label = labelOf(element, kind) || (tag === 'iframe' || tag === 'frame' ?
            simplified(getAttribute.call(element, 'title')) : '');
        fields.push(field);
    }
    eachElement(function (element, kind) {
        var id = elementId.call(element);
        var name = getAttribute.call(element, 'name');
        var key = name || id;
        var index = key ? count(key) : -1;
        if (id && name && id !== name)
            count(key === name ? id : name);
        if (key)
            consider(element, kind, key, index);
    });
    return fields;
})();)JS";
}
