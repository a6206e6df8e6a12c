// Form controls as the fill and the focus after it see them.
// Takes: walk.js. Gives: matches, ownerDocument, input, inputType,
// checked, valued, radioGroup(radio) and isHidden(element).

var matches = Element.prototype.matches;
var clientRects = Element.prototype.getClientRects;
var ownerDocument = property(Node.prototype, 'ownerDocument').get;
var rootNode = Node.prototype.getRootNode;
var input = HTMLInputElement.prototype;
var inputType = property(input, 'type').get;
var inputName = property(input, 'name').get;
var inputForm = property(input, 'form').get;
var checked = property(input, 'checked');
// The prototypes of the elements that hold a value, by kind.
var valued = {
    HTMLInputElement: input,
    HTMLTextAreaElement: HTMLTextAreaElement.prototype,
    HTMLSelectElement: HTMLSelectElement.prototype
};

// The radios of the radio's name and form, in document order; the radio
// alone when it has no name.
function radioGroup(radio) {
    var name = inputName.call(radio);
    if (name === '')
        return [radio];
    var form = inputForm.call(radio);
    var all = rootNode.call(radio).querySelectorAll('input');
    var group = [];
    for (var i = 0; i < all.length; ++i) {
        var other = all[i];
        if (inputType.call(other) === 'radio' && inputName.call(other) === name &&
            inputForm.call(other) === form)
            group.push(other);
    }
    return group;
}

// Whether the element takes no room on the page, or is styled invisible.
// Asking makes the browser lay the page out.
function isHidden(element) {
    if (clientRects.call(element).length === 0)
        return true;
    var view = ownerDocument.call(element).defaultView;
    return view !== null && view.getComputedStyle(element).visibility === 'hidden';
}
