// The fill: carries out a fill plan in the page.
// Takes: contract, walk.js, elements.js, text.js, editing.js, controls.js,
// focus.js. Gives: the function called with the plan, an array of steps,
// each the array [name, index, type, text] laid out as contract.step says,
// the type a number of contract.types. It answers the object whose keys
// contract.fillResult names: written, items, missing, focused.
//
// Finding. One page walk, made once a fill, finds the elements whose name
// or id some step names; a step's index counts along the walk's order
// (eachNamedElement).
//
// Writing, by the element found and the step's type:
// - an input (of any type) or a text area gets the text as its value for an
//   edit step, as for a choice step unless the input is a check box or a
//   radio; a hidden one with a rich-text editor standing beside it also
//   gets the text in the editor;
// - a select list takes a choice step's text as a choice: the option whose
//   value is the text, else the first whose visible text is the text (blanks
//   trimmed and collapsed, case ignored), else nothing changes; a multiple
//   select adds the option to its selection;
// - a radio takes a choice step's text as a choice among its group (the
//   radios of its name and form), by value and then by label text, the same
//   way;
// - a check box or radio is checked by a check step whose text is not empty
//   and none of the words of falseWords, and unchecked otherwise;
// - an editable element, an editable same-origin frame, or any other element
//   holding exactly one editable region gets the text of any step as text,
//   each line a paragraph (a line break where paragraphs cannot stand).
// Each change is announced with bubbling input and change events (input
// alone for an editor), so pages driven by their own scripts see it. The
// element's own value is never changed by a choice or a check.
//
// The answer: the steps that wrote their element, the number of steps, the
// names of the steps whose element was not found, in plan order and each
// once, and the name of the field focused (null for none). The form of the
// last element written, in whichever document it is, is handed to the
// submit hook's function (contract.hook) when the page has it, and the
// field of that form the user fills in next gets the keyboard (nextField).

var types = contract.types;
var falseWords = ['0', 'no', 'false', 'off'];
var regionSelector = '[contenteditable], iframe, frame';
var querySelector = Element.prototype.querySelector;
var nextSibling = property(Element.prototype, 'nextElementSibling').get;
var previousSibling = property(Element.prototype, 'previousElementSibling').get;
var appendChild = Node.prototype.appendChild;
var textContent = property(Node.prototype, 'textContent');
var dispatch = EventTarget.prototype.dispatchEvent;
var listen = EventTarget.prototype.addEventListener;
var labels = property(input, 'labels').get;
var options = property(HTMLSelectElement.prototype, 'options').get;
var optionValue = property(HTMLOptionElement.prototype, 'value').get;
var optionText = property(HTMLOptionElement.prototype, 'text').get;
var optionSelected = property(HTMLOptionElement.prototype, 'selected').set;

function announce(element, names) {
    for (var i = 0; i < names.length; ++i)
        dispatch.call(element, new Event(names[i], {bubbles: true}));
}
// The first entry whose value is `text`, else the first one with a label
// that reads as `text`, case ignored; -1 for none.
function choose(values, labelLists, text) {
    var i;
    for (i = 0; i < values.length; ++i) {
        if (values[i] === text)
            return i;
    }
    var wanted = simplified(text).toLowerCase();
    for (i = 0; i < labelLists.length; ++i) {
        for (var j = 0; j < labelLists[i].length; ++j) {
            if (simplified(labelLists[i][j]).toLowerCase() === wanted)
                return i;
        }
    }
    return -1;
}
function chooseOption(select, text) {
    var list = options.call(select);
    var values = [];
    var texts = [];
    for (var i = 0; i < list.length; ++i) {
        values.push(optionValue.call(list[i]));
        texts.push([optionText.call(list[i])]);
    }
    var chosen = choose(values, texts, text);
    if (chosen >= 0) {
        optionSelected.call(list[chosen], true);
        announce(select, ['input', 'change']);
    }
}
function chooseRadio(radio, text) {
    var group = radioGroup(radio);
    var values = [];
    var texts = [];
    for (var i = 0; i < group.length; ++i) {
        values.push(property(input, 'value').get.call(group[i]));
        var own = labels.call(group[i]);
        var list = [];
        for (var j = 0; own && j < own.length; ++j)
            list.push(textContent.get.call(own[j]));
        texts.push(list);
    }
    var chosen = choose(values, texts, text);
    if (chosen >= 0) {
        checked.set.call(group[chosen], true);
        announce(group[chosen], ['input', 'change']);
    }
}
function check(box, text) {
    checked.set.call(box, text !== '' && falseWords.indexOf(text.toLowerCase()) < 0);
    announce(box, ['input', 'change']);
}
// Text longer than a field's maxlength, cut to fit as a person would: at
// the last sentence end that fits, else at the last blank, else where the
// limit falls.
function fitted(element, prototype, text) {
    var limit = property(prototype, 'maxLength');
    var most = limit ? limit.get.call(element) : -1;
    if (most < 0 || text.length <= most)
        return text;
    var head = text.slice(0, most + 1);
    var sentence = /^[\s\S]*[.!?](?=\s)/.exec(head);
    if (sentence)
        return sentence[0];
    var blank = head.lastIndexOf(' ');
    return blank > 0 ? text.slice(0, blank) : text.slice(0, most);
}
function writeValue(element, prototype, text) {
    try {
        property(prototype, 'value').set.call(element, fitted(element, prototype, text));
    } catch (e) {
        return false;
    }
    announce(element, ['input', 'change']);
    return true;
}

// Rich-text editors.
function onlyRegion(container) {
    var candidates = querySelectorAll.call(container, regionSelector);
    var found = null;
    for (var i = 0; i < candidates.length; ++i) {
        var candidate = candidates[i];
        var kind = kindOf(candidate);
        var region = framed[kind] ? editableBody(candidate, kind)
            : isEditingHost(candidate) ? candidate : null;
        if (region) {
            if (found)
                return null;
            found = region;
        }
    }
    return found;
}
// The editable region an element names: itself, the body of an editable
// frame, or the only region it holds.
function regionOf(element, kind) {
    if (valued[kind])
        return null;
    if (framed[kind])
        return editableBody(element, kind);
    return isEditable(element) ? element : onlyRegion(element);
}
var passedBy = {script: true, style: true, template: true, link: true, meta: true};
function isPassedBy(element) {
    return passedBy[elementName.call(element)] === true ||
        (kindOf(element) === 'HTMLInputElement' && inputType.call(element) === 'hidden');
}
// The editor a page put in place of a field it hid: the region of the
// nearest sibling after the field, else before it, passing by scripts,
// styles and hidden inputs. Only a field beside a possible editor is asked
// whether it is hidden, as that question makes the browser lay the page
// out again after every value written.
function editorBeside(field) {
    var ways = [nextSibling, previousSibling];
    for (var w = 0; w < ways.length; ++w) {
        var sibling = ways[w].call(field);
        while (sibling && isPassedBy(sibling))
            sibling = ways[w].call(sibling);
        if (!sibling || (!matches.call(sibling, regionSelector) &&
                !querySelector.call(sibling, regionSelector)))
            continue;
        var region = regionOf(sibling, kindOf(sibling));
        if (region)
            return isHidden(field) ? region : null;
    }
    return null;
}
function writeText(region, text) {
    var doc = ownerDocument.call(region);
    var tag = elementName.call(region);
    var view = doc.defaultView;
    var display = view ? view.getComputedStyle(region).display : 'block';
    var breaksOnly = /^(p|pre|h[1-6])$/.test(tag) || display.indexOf('inline') === 0;
    var lines = text.split(/\r\n|\r|\n/);
    textContent.set.call(region, '');
    for (var i = 0; i < lines.length; ++i) {
        if (breaksOnly) {
            if (i > 0)
                appendChild.call(region, doc.createElement('br'));
            appendChild.call(region, doc.createTextNode(lines[i]));
        } else {
            var paragraph = doc.createElement('p');
            appendChild.call(paragraph, lines[i] === '' ? doc.createElement('br')
                : doc.createTextNode(lines[i]));
            appendChild.call(region, paragraph);
        }
    }
    announce(region, ['input']);
}

// Text areas written while no editor stood beside them: a page that puts
// its editor in place of the text area only once its own scripts have
// loaded would otherwise show the article as one line of markup. They are
// looked at again for a while; an editor that has come, and is still there
// a look later, gets the text. Until the user edits it, the text is given
// again whenever the page has since put other content in (its first content
// may come late), and once more as the form is sent, before the editor
// writes its content back into the text area: a capturing listener of the
// window runs before any of the form's own. What the text area held then is
// what it sends unless the editor got the text.
var lateChecks = 40;
var lateInterval = 250;
var contains = Node.prototype.contains;
var userEdits = ['keydown', 'paste', 'drop', 'cut'];
function watchForEditors(fields) {
    var left = lateChecks;
    function write(field, editor) {
        writeText(editor, field.text);
        field.written = textContent.get.call(editor);
        if (field.editor === editor)
            return;
        field.editor = editor;
        userEdits.forEach(function (name) {
            listen.call(ownerDocument.call(editor), name, function (event) {
                if (event.isTrusted && contains.call(editor, event.target))
                    field.edited = true;
            }, true);
        });
    }
    function look(sending) {
        fields = fields.filter(function (field) {
            if (field.edited)
                return false;
            var editor = editorBeside(field.element);
            if (editor && editor === field.editor) {
                if (textContent.get.call(editor) !== field.written)
                    write(field, editor);
            } else if (editor && (sending || field.seen === editor)) {
                write(field, editor);
            }
            field.seen = editor;
            return true;
        });
    }
    var timer = setInterval(function () {
        look(false);
        if (fields.length === 0 || --left === 0)
            clearInterval(timer);
    }, lateInterval);
    fields.forEach(function (field) {
        var view = ownerDocument.call(field.element).defaultView;
        var prototype = valued[kindOf(field.element)];
        var value = property(prototype, 'value');
        var form = property(prototype, 'form').get.call(field.element);
        if (!view || !form)
            return;
        listen.call(view, 'submit', function () {
            look(true);
            field.kept = value.get.call(field.element);
        }, true);
        // An editor that is not ready yet writes the content it started
        // with, none, into the text area as the form is sent; its listener
        // came before this one.
        listen.call(form, 'submit', function () {
            if (!field.editor && value.get.call(field.element) !== field.kept)
                value.set.call(field.element, field.kept);
        });
    });
}

// Carries out one step on its element; the answer says whether the element
// was written, and which form it belongs to. Text areas that may still be
// replaced by an editor go to `late`.
function fill(element, type, text, late) {
    var kind = kindOf(element);
    var prototype = valued[kind];
    if (!prototype) {
        var region = regionOf(element, kind);
        if (!region)
            return null;
        writeText(region, text);
        return {form: closest.call(element, 'form')};
    }
    var form = property(prototype, 'form').get.call(element);
    var box = prototype === input ? inputType.call(element) : '';
    var choice = box === 'checkbox' || box === 'radio';
    if (type === types.checkBox) {
        if (!choice)
            return null;
        check(element, text);
    } else if (kind === 'HTMLSelectElement') {
        if (type !== types.comboBox)
            return null;
        chooseOption(element, text);
    } else if (type === types.comboBox && choice) {
        if (box !== 'radio')
            return null;
        chooseRadio(element, text);
    } else {
        if (!writeValue(element, prototype, text))
            return null;
        var editor = editorBeside(element);
        if (editor)
            writeText(editor, text);
        else if (kind === 'HTMLTextAreaElement')
            late.push({element: element, text: text});
    }
    return {form: form};
}

return function (plan) {
    var at = contract.step;
    var found = new Map();
    for (var i = 0; i < plan.length; ++i)
        found.set(plan[i][at.name], []);
    eachNamedElement(function (element, kind, key, index) {
        var list = found.get(key);
        if (list)
            list[index] = element;
    });

    var form = null;
    var written = 0;
    var missing = [];
    var late = [];
    for (i = 0; i < plan.length; ++i) {
        var step = plan[i];
        var name = step[at.name];
        var element = step[at.index] >= 0 ? found.get(name)[step[at.index]] : undefined;
        if (!element) {
            if (missing.indexOf(name) < 0)
                missing.push(name);
            continue;
        }
        var result = fill(element, step[at.type], step[at.text], late);
        if (result) {
            ++written;
            form = result.form;
        }
    }
    var hooks = window[contract.hook.object];
    if (form && hooks && typeof hooks[contract.hook.function] === 'function')
        hooks[contract.hook.function](form);
    if (late.length > 0)
        watchForEditors(late);
    var field = nextField(form);
    var keys = contract.fillResult;
    var answer = {};
    answer[keys.written] = written;
    answer[keys.items] = plan.length;
    answer[keys.missing] = missing;
    answer[keys.focused] = field ? focusField(field) : null;
    return answer;
};
