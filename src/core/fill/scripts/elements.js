// The elements of the page in walk order, and how they are named: the one
// way both the fill and the form listing find an element by its name and
// index, so that a field listed at an index is the field filled there.
// Takes: contract, walk.js, editing.js. Gives: the element members both
// use (elementId, elementName, getAttribute, querySelectorAll, closest),
// eachElement(visit), eachNamedElement(visit) and isUnnamedEditor(element,
// kind).

var elementId = property(Element.prototype, 'id').get;
var elementName = property(Element.prototype, 'localName').get;
var getAttribute = Element.prototype.getAttribute;
var querySelectorAll = Element.prototype.querySelectorAll;
var closest = Element.prototype.closest;
var shadowRoot = property(Element.prototype, 'shadowRoot').get;

// Calls visit(element, kind) for every element of the main document in
// document order, then for those of each same-origin frame and open shadow
// root, in the document order of the element that holds it, each followed
// by those of the frames and shadow roots inside it. Frames of another
// origin have no document to read and are passed by.
function eachElement(visit) {
    walkRoots(function (root) {
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
        return inner;
    });
}

// Whether the element is a rich-text editor with neither name nor id: an
// editable region's start, or an editable frame. An editable body is its
// frame's, found by the frame.
function isUnnamedEditor(element, kind) {
    if (getAttribute.call(element, 'name') || elementId.call(element) ||
        elementName.call(element) === 'body')
        return false;
    return framed[kind] ? editableBody(element, kind) !== null : isEditingHost(element);
}

// Calls visit(element, kind, key, index) for each name an element is found
// by, in walk order: its name attribute, then its id where that differs,
// each unless empty. `index` counts the elements found by `key` before it,
// so the first element of a name or id has index 0. An editor with neither
// (isUnnamedEditor) is found by the key contract.names.unnamedEditor, a
// text no name or id holds, counted among such editors.
function eachNamedElement(visit) {
    var counts = new Map();
    function counted(key) {
        var seen = counts.get(key) || 0;
        counts.set(key, seen + 1);
        return seen;
    }
    eachElement(function (element, kind) {
        var name = getAttribute.call(element, 'name');
        var id = elementId.call(element);
        if (name)
            visit(element, kind, name, counted(name));
        if (id && id !== name)
            visit(element, kind, id, counted(id));
        if (!name && !id && isUnnamedEditor(element, kind)) {
            var key = contract.names.unnamedEditor;
            visit(element, kind, key, counted(key));
        }
    });
}
