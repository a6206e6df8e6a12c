// The pure parts of the page scripts, in Node with jsdom: the walk's order,
// the counting of equal names and ids and of unnamed editors, and text
// simplification. The
// browser tests (tests/shell) stay the final word; these say sooner which
// part went wrong.
//
//     node PageScriptPartsTest.js SRC/core/fill/scripts
'use strict';
const assert = require('assert');
const fs = require('fs');
const path = require('path');
const {JSDOM} = require('jsdom');

const folder = process.argv[2];
const parts = ['walk.js', 'elements.js', 'text.js', 'editing.js'].map(function (name) {
    return fs.readFileSync(path.join(folder, name), 'utf8');
});

// The parts, run in the page's realm as a script runs them there.
function load(html) {
    const dom = new JSDOM(html, {runScripts: 'outside-only'});
    // jsdom has no editing; the browser's rule for whether an element is
    // editable, from the contenteditable attribute alone.
    Object.defineProperty(dom.window.HTMLElement.prototype, 'isContentEditable', {
        get() {
            const host = this.closest('[contenteditable]');
            return host !== null && host.getAttribute('contenteditable') !== 'false';
        }
    });
    const code = '(function (contract) {\n\'use strict\';\n' + parts.join('\n') +
        '\nreturn {eachNamedElement: eachNamedElement, simplified: simplified};\n})';
    return {window: dom.window,
        parts: dom.window.eval(code)({names: {unnamedEditor: 'unnamed editor'}})};
}

let failures = 0;
function check(title, test) {
    try {
        test();
    } catch (error) {
        ++failures;
        console.error('FAILED: ' + title + '\n' + error.message + '\n');
    }
}

check('every name and id counts along the walk, frames and shadow roots after the page', function () {
    const page = load('<form><input name="tag" id="first"><input type="hidden" name="tag">' +
        '<input id="tag"><input name="same" id="same"><input name="" id="">' +
        '<div id="host"></div><iframe id="frame"></iframe><input name="tag"></form>');
    const doc = page.window.document;
    const root = doc.getElementById('host').attachShadow({mode: 'open'});
    root.innerHTML = '<input name="tag"><span id="inner"></span>';
    root.getElementById('inner').attachShadow({mode: 'open'}).innerHTML = '<input name="tag">';
    doc.getElementById('frame').contentDocument.body.innerHTML =
        '<input name="tag"><input name="first">';

    const seen = [];
    page.parts.eachNamedElement(function (element, kind, key, index) {
        seen.push(key + '#' + index);
    });
    assert.deepStrictEqual(seen, ['tag#0', 'first#0', 'tag#1', 'tag#2', 'same#0', 'host#0',
        'frame#0', 'tag#3', 'tag#4', 'inner#0', 'tag#5', 'tag#6', 'first#1']);
});

check('an editor with neither name nor id counts by a key of its own', function () {
    const page = load('<div contenteditable="true"><p>a</p></div><input name="x">' +
        '<div id="named" contenteditable="true"></div>' +
        '<div contenteditable="false"></div><section contenteditable=""><b>b</b></section>');
    const seen = [];
    page.parts.eachNamedElement(function (element, kind, key, index) {
        seen.push(key + '#' + index);
    });
    assert.deepStrictEqual(seen, ['unnamed editor#0', 'x#0', 'named#0', 'unnamed editor#1']);
});

check('text is simplified as a person reads it', function () {
    const simplified = load('').parts.simplified;
    const rows = [
        ['  Your \n\t E-mail  ', 'Your E-mail'],
        ['one\u00a0two', 'one two'],
        ['Same', 'Same'],
        ['', ''],
        [null, ''],
        [undefined, ''],
    ];
    for (const [text, expected] of rows)
        assert.strictEqual(simplified(text), expected, JSON.stringify(text));
});

if (failures > 0)
    process.exit(1);
console.log('Page script parts: all passed');
