// Editable regions: rich-text editors, in the page or in a frame.
// Takes: walk.js. Gives: parentNode, isEditable(element),
// editableBody(frame, kind) and isEditingHost(element).

var editable = property(HTMLElement.prototype, 'isContentEditable').get;
var parentNode = property(Node.prototype, 'parentNode').get;

// Whether the user may edit the element's content; false for a node that
// is no HTML element, or none.
function isEditable(element) {
    try {
        return editable.call(element);
    } catch (e) {
        return false;
    }
}

// The body of a same-origin frame whose document is edited as a whole
// (design mode, or an editable body), else null.
function editableBody(frame, kind) {
    var doc = frameDocument(frame, kind);
    var body = doc && doc.body;
    return body && (doc.designMode === 'on' || isEditable(body)) ? body : null;
}

// Whether the element is editable and its parent is not: the element an
// editor's content starts at.
function isEditingHost(element) {
    return isEditable(element) && !isEditable(parentNode.call(element));
}
