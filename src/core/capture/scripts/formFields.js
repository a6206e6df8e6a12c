// The form listing of a directory capture: the form fields a fill can
// reach, in the order the fill's walk finds them.
// Takes: contract, and from fill/scripts walk.js, elements.js, text.js and
// editing.js. Gives: the function, called with nothing, that answers an
// array of fields, each an object whose keys contract.field names: label,
// name, index, kind, options. They are the text the page shows for the
// field (its labels, else its aria-label, else its placeholder; for a radio
// group the legend of its field set; for a frame its title), its name or
// else its id, its index among the elements of that name or id as the fill
// counts them (eachNamedElement), its kind, a word of contract.kinds, and
// for a select list or radio group its choices as [value, text] pairs. A
// radio group is one entry, at its first radio. Hidden inputs, buttons,
// file choosers and fields with neither name nor id are left out.

var keys = contract.field;
var kinds = contract.kinds;
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
var inputKinds = {password: kinds.password, email: kinds.email, checkbox: kinds.checkBox,
    radio: kinds.radio};

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

return function () {
    var fields = [];
    var groups = new Map();
    function newField(key, index) {
        var field = {};
        field[keys.label] = '';
        field[keys.name] = key;
        field[keys.index] = index;
        field[keys.kind] = '';
        field[keys.options] = [];
        return field;
    }
    function consider(element, kind, key, index) {
        var tag = elementName.call(element);
        var field = newField(key, index);
        if (kind === 'HTMLInputElement') {
            var type = inputType.call(element);
            if (leftOut[type])
                return;
            field[keys.kind] = inputKinds[type] || kinds.text;
            if (type === 'radio') {
                var form = inputForm.call(element);
                var group = groups.get(form) || new Map();
                groups.set(form, group);
                var first = group.get(key);
                var choice = [inputValue.call(element), labelOf(element, kind)];
                if (first) {
                    first[keys.options].push(choice);
                    return;
                }
                group.set(key, field);
                field[keys.label] = legendOf(element);
                field[keys.options].push(choice);
                fields.push(field);
                return;
            }
        } else if (kind === 'HTMLTextAreaElement') {
            field[keys.kind] = kinds.textArea;
        } else if (kind === 'HTMLSelectElement') {
            field[keys.kind] = kinds.select;
            var list = options.call(element);
            for (var i = 0; i < list.length; ++i) {
                field[keys.options].push(
                    [optionValue.call(list[i]), simplified(optionText.call(list[i]))]);
            }
        } else if (framed[kind] ? editableBody(element, kind) : isEditingHost(element)) {
            field[keys.kind] = kinds.editor;
        } else {
            return;
        }
        field[keys.label] = labelOf(element, kind) || (tag === 'iframe' || tag === 'frame' ?
            simplified(getAttribute.call(element, 'title')) : '');
        fields.push(field);
    }
    // An element is listed once, by the first name it is found by: its
    // name, else its id.
    var last = null;
    eachNamedElement(function (element, kind, key, index) {
        if (element === last)
            return;
        last = element;
        consider(element, kind, key, index);
    });
    return fields;
};
