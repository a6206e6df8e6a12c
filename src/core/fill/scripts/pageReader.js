// The page reader of the submission watch: the page as the watch searches
// it.
// Takes: walk.js. Gives: the function, called with nothing, that answers
// one string: the HTML of the document, then that of each frame whose
// document the page may read (same origin), depth first in document order,
// frames within frames included, joined by line breaks. Frames of other
// origins are left out.
//
// Prototype members are used, as elsewhere: a document's named elements
// (<img name="documentElement">) would hide its own.

var rootOf = property(Document.prototype, 'documentElement').get;
var htmlOf = property(Element.prototype, 'outerHTML').get;
var selectIn = Document.prototype.querySelectorAll;

return function () {
    var parts = [];
    walkRoots(function (doc) {
        var root = rootOf.call(doc);
        if (!root)
            return [];
        parts.push(htmlOf.call(root));
        var frames = selectIn.call(doc, 'iframe, frame');
        var inner = [];
        for (var i = 0; i < frames.length; ++i) {
            var below = frameDocument(frames[i], kindOf(frames[i]));
            if (below)
                inner.push(below);
        }
        return inner;
    });
    return parts.join('\n');
};
