// The focus after a fill: the field the user fills in next, in the form
// written last, gets the keyboard.
// Takes: walk.js, elements.js, controls.js. Gives: nextField(form) and
// focusField(field).

var textTypes = {text: true, search: true, email: true, url: true, tel: true,
    password: true, number: true};
var notFields = {hidden: true, submit: true, button: true, reset: true, image: true,
    file: true};
var formElements = property(HTMLFormElement.prototype, 'elements').get;
var hasAttribute = Element.prototype.hasAttribute;
var focus = HTMLElement.prototype.focus;
var scrollIntoView = Element.prototype.scrollIntoView;

function isEmpty(element, kind, box) {
    if (box === 'checkbox')
        return !checked.get.call(element);
    if (box === 'radio')
        return radioGroup(element).every(function (radio) {
            return !checked.get.call(radio);
        });
    return property(valued[kind], 'value').get.call(element).trim() === '';
}
function isTextField(kind, box) {
    return kind === 'HTMLTextAreaElement' || textTypes[box] === true;
}
function isUsable(element, kind, box) {
    if (matches.call(element, ':disabled'))
        return false;
    if (isTextField(kind, box) && hasAttribute.call(element, 'readonly'))
        return false;
    return !isHidden(element);
}

// The field of `form` the user fills in next: the first that is visible,
// enabled, still empty and marked required; in a form that marks no field
// required, the first visible, enabled, empty text field. Null for none, or
// for no form.
function nextField(form) {
    var all = form ? formElements.call(form) : [];
    var anyRequired = false;
    var required = null;
    var text = null;
    for (var i = 0; i < all.length; ++i) {
        var element = all[i];
        var kind = kindOf(element);
        var box = kind === 'HTMLInputElement' ? inputType.call(element) : '';
        if (!valued[kind] || notFields[box])
            continue;
        var marked = hasAttribute.call(element, 'required');
        anyRequired = anyRequired || marked;
        var wanted = marked ? !required : !text && isTextField(kind, box);
        if (!wanted || !isEmpty(element, kind, box) || !isUsable(element, kind, box))
            continue;
        if (marked)
            required = element;
        else
            text = element;
    }
    return anyRequired ? required : text;
}

// Gives the field the keyboard, scrolled into view; answers its name, else
// its id.
function focusField(field) {
    scrollIntoView.call(field, {block: 'center'});
    focus.call(field, {preventScroll: true});
    return getAttribute.call(field, 'name') || elementId.call(field);
}
