// The form listing of a directory capture: the form fields a fill can
// reach, in the order the fill's walk finds them.
// Takes: contract, and from fill/scripts walk.js, elements.js, text.js and
// editing.js. Gives: the function, called with nothing, that answers an
// array of fields, each an object whose keys contract.field names: label,
// name, index, kind, options, hidden. They are the text the page shows for
// the field (captionOf), its name, else its id, else for an editor with
// neither contract.names.unnamedEditor, its index among the elements of
// that name or id as the fill counts them (eachNamedElement), its kind, a
// word of contract.kinds, for a select list or radio group its choices as
// [value, text] pairs, and why a person cannot see it (hiddenReason; ''
// for a field in sight). A radio group is one entry, at its first radio.
// Hidden inputs, buttons, file choosers, fields with neither name nor id
// and editors that stand in for a listed field are left out.

var keys = contract.field;
var kinds = contract.kinds;
var cloneNode = Node.prototype.cloneNode;
var removeChild = Node.prototype.removeChild;
var contains = Node.prototype.contains;
var elementMatches = Element.prototype.matches;
var textContent = property(Node.prototype, 'textContent').get;
var previousNode = property(Node.prototype, 'previousSibling').get;
var nextNode = property(Node.prototype, 'nextSibling').get;
var nodeType = property(Node.prototype, 'nodeType').get;
var ownerDocument = property(Node.prototype, 'ownerDocument').get;
var rootNode = Node.prototype.getRootNode;
var parentElement = property(Node.prototype, 'parentElement').get;
var previousElement = property(Element.prototype, 'previousElementSibling').get;
var nextElement = property(Element.prototype, 'nextElementSibling').get;
var boundingRect = Element.prototype.getBoundingClientRect;
var cellIndex = property(HTMLTableCellElement.prototype, 'cellIndex').get;
var rowCells = property(HTMLTableRowElement.prototype, 'cells').get;
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
var controlSelector = 'input:not([type=hidden]), select, textarea, button, [contenteditable]';
var longestCaption = 200;
// Farther than this from the page's start, a field stands off-screen.
var farAway = 5000;

// An element's own text, without that of the controls it holds.
function ownText(element) {
    var copy = cloneNode.call(element, true);
    var inner = querySelectorAll.call(copy, 'input, select, textarea, button, script, style');
    for (var i = 0; i < inner.length; ++i)
        removeChild.call(parentNode.call(inner[i]), inner[i]);
    return simplified(textContent.call(copy)).slice(0, longestCaption);
}
function holdsControl(element) {
    return querySelectorAll.call(element, controlSelector).length > 0 ||
        matches(element, controlSelector);
}
function matches(element, selector) {
    return elementMatches.call(element, selector);
}
function labelsText(element, kind) {
    var list = labelsOf[kind] ? labelsOf[kind].call(element) : null;
    var texts = [];
    for (var i = 0; list && i < list.length; ++i) {
        var text = ownText(list[i]);
        if (text)
            texts.push(text);
    }
    return texts.join(' ');
}
function labelledByText(element) {
    var ids = simplified(getAttribute.call(element, 'aria-labelledby'));
    var root = rootNode.call(element);
    var texts = [];
    ids.split(' ').forEach(function (id) {
        var named = id && root.getElementById ? root.getElementById(id) : null;
        if (named)
            texts.push(ownText(named));
    });
    return simplified(texts.join(' '));
}
// The text of the table cell to the left of the field's cell, else of the
// cell above it, when the field stands alone in its cell.
function cellText(element) {
    var cell = closest.call(element, 'td, th');
    if (!cell || querySelectorAll.call(cell, controlSelector).length > 1)
        return '';
    for (var left = previousElement.call(cell); left; left = previousElement.call(left)) {
        var text = holdsControl(left) ? '' : ownText(left);
        if (text)
            return text;
    }
    var row = parentElement.call(cell);
    var above = row && previousElement.call(row);
    var cells = above && rowCells.call(above);
    var facing = cells && cells[cellIndex.call(cell)];
    return facing && !holdsControl(facing) ? ownText(facing) : '';
}
// The text standing next to the field in its container, before it (or
// after it, for check boxes and radios), up to another control. A field
// alone in its container is read from the container's place.
function besideText(element, after) {
    var step = after ? nextNode : previousNode;
    for (var node = element, depth = 0; node && depth < 4; ++depth) {
        for (var sibling = step.call(node); sibling; sibling = step.call(sibling)) {
            if (nodeType.call(sibling) === Node.TEXT_NODE) {
                var text = simplified(textContent.call(sibling));
                if (text)
                    return text.slice(0, longestCaption);
                continue;
            }
            if (nodeType.call(sibling) !== Node.ELEMENT_NODE || elementName.call(sibling) === 'br')
                continue;
            if (holdsControl(sibling))
                return '';
            var own = ownText(sibling);
            if (own)
                return own;
        }
        node = parentElement.call(node);
        if (!node || querySelectorAll.call(node, controlSelector).length > 1 ||
                matches(node, 'form, fieldset, td, th, body'))
            return '';
    }
    return '';
}
function legendOf(element) {
    var fieldset = closest.call(element, 'fieldset');
    var legend = fieldset && querySelectorAll.call(fieldset, 'legend')[0];
    return legend ? ownText(legend) : '';
}
// The text a person reads as the field's caption, the first found of: its
// labels, aria-labelledby, aria-label, for a check box or radio the text
// after it, the table cell to its left or above, the text before it, its
// field set's legend, its title, its placeholder.
function captionOf(element, kind, box) {
    var ways = [
        function () { return labelsText(element, kind); },
        function () { return labelledByText(element); },
        function () { return simplified(getAttribute.call(element, 'aria-label')); },
        function () { return box ? besideText(element, true) : ''; },
        function () { return cellText(element); },
        function () { return besideText(element, false); },
        function () { return legendOf(element); },
        function () { return simplified(getAttribute.call(element, 'title')); },
        function () { return simplified(getAttribute.call(element, 'placeholder')); }
    ];
    for (var i = 0; i < ways.length; ++i) {
        var text = ways[i]();
        if (text)
            return text;
    }
    return '';
}

function styleOf(element) {
    var view = ownerDocument.call(element).defaultView;
    return view ? view.getComputedStyle(element) : null;
}
// Why a person cannot see the element; '' when they can.
function hiddenReason(element) {
    if (closest.call(element, '[aria-hidden="true"]'))
        return 'aria-hidden';
    var style = styleOf(element);
    if (style && style.display === 'none')
        return 'display:none';
    if (style && style.visibility === 'hidden')
        return 'visibility:hidden';
    var box = boundingRect.call(element);
    if (box.width === 0 && box.height === 0) {
        for (var up = parentElement.call(element); up; up = parentElement.call(up)) {
            var outer = styleOf(up);
            if (outer && outer.display === 'none')
                return 'inside a hidden container';
        }
        return 'zero-sized';
    }
    var view = ownerDocument.call(element).defaultView;
    var left = box.left + (view ? view.scrollX : 0);
    var top = box.top + (view ? view.scrollY : 0);
    if (left + box.width <= 0 || top + box.height <= 0 || left > farAway || top > farAway * 4)
        return 'off-screen';
    if (style && Number(style.opacity) === 0)
        return 'transparent';
    return '';
}
// Whether a rich-text editor stands beside the element, in its place.
function editorBeside(element) {
    var ways = [nextElement, previousElement];
    for (var w = 0; w < ways.length; ++w) {
        var sibling = ways[w].call(element);
        if (sibling && (matches(sibling, '[contenteditable], iframe') ||
                querySelectorAll.call(sibling, '[contenteditable], iframe').length > 0))
            return sibling;
    }
    return null;
}
// The field's hidden reason, but none for a field a rich-text editor
// stands in for, nor for a box or radio whose label is in sight.
function visibility(element, kind, box, standIns) {
    var reason = hiddenReason(element);
    if (!reason)
        return '';
    var editor = kind === 'HTMLTextAreaElement' || kind === 'HTMLInputElement' ?
        editorBeside(element) : null;
    if (editor) {
        standIns.push(editor);
        return '';
    }
    var list = box && labelsOf[kind] ? labelsOf[kind].call(element) : null;
    for (var i = 0; list && i < list.length; ++i) {
        if (!hiddenReason(list[i]))
            return '';
    }
    return reason;
}

return function () {
    var fields = [];
    var groups = new Map();
    var standIns = [];
    function newField(key, index) {
        var field = {};
        field[keys.label] = '';
        field[keys.name] = key;
        field[keys.index] = index;
        field[keys.kind] = '';
        field[keys.options] = [];
        field[keys.hidden] = '';
        return field;
    }
    function standsIn(element) {
        return standIns.some(function (editor) {
            return rootNode.call(editor) === rootNode.call(element) &&
                contains.call(editor, element);
        });
    }
    function consider(element, kind, key, index) {
        var field = newField(key, index);
        var box = '';
        if (kind === 'HTMLInputElement') {
            var type = inputType.call(element);
            if (leftOut[type])
                return;
            field[keys.kind] = inputKinds[type] || kinds.text;
            box = type === 'checkbox' || type === 'radio' ? type : '';
            if (type === 'radio') {
                var form = inputForm.call(element);
                var group = groups.get(form) || new Map();
                groups.set(form, group);
                var first = group.get(key);
                var choice = [inputValue.call(element), captionOf(element, kind, box)];
                if (first) {
                    first[keys.options].push(choice);
                    return;
                }
                group.set(key, field);
                field[keys.label] = legendOf(element);
                field[keys.options].push(choice);
                field[keys.hidden] = visibility(element, kind, box, standIns);
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
            if (key === contract.names.unnamedEditor && standsIn(element))
                return;
            field[keys.kind] = kinds.editor;
        } else {
            return;
        }
        field[keys.hidden] = visibility(element, kind, box, standIns);
        field[keys.label] = captionOf(element, kind, box);
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
