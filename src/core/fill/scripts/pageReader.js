// The page reader of the submission watch: the page as the watch searches
// it.
// Takes: walk.js, documents.js. Gives: the function, called with nothing,
// that answers one string: the HTML of each readable document (the page,
// then its same-origin frames, depth first in document order), joined by
// line breaks.
//
// Prototype members are used, as elsewhere: a document's named elements
// (<img name="documentElement">) would hide its own.

var rootOf = property(Document.prototype, 'documentElement').get;
var htmlOf = property(Element.prototype, 'outerHTML').get;

return function () {
    var parts = [];
    eachReadableDocument(function (doc) {
        var root = rootOf.call(doc);
        if (root)
            parts.push(htmlOf.call(root));
    });
    return parts.join('\n');
};
