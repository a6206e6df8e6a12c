// The documents a page reader reads.
// Takes: walk.js. Gives: eachReadableDocument(visit), which calls
// visit(doc) for the main document and then, depth first in document order,
// for the document of each frame the page may read (same origin), frames
// within frames included. Frames of other origins are passed by.

var selectFramesIn = Document.prototype.querySelectorAll;

function eachReadableDocument(visit) {
    walkRoots(function (doc) {
        visit(doc);
        var frames = selectFramesIn.call(doc, 'iframe, frame');
        var inner = [];
        for (var i = 0; i < frames.length; ++i) {
            var below = frameDocument(frames[i], kindOf(frames[i]));
            if (below)
                inner.push(below);
        }
        return inner;
    });
}
