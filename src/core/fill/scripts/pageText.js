// The page's text as a person reads it: what the published-article check
// looks for the article's title in.
// Takes: walk.js, documents.js. Gives: the function, called with nothing,
// that answers one string: the rendered text of the body of each readable
// document (the page, then its same-origin frames, depth first in document
// order), joined by line breaks.

var bodyOf = property(Document.prototype, 'body').get;
var renderedTextOf = property(HTMLElement.prototype, 'innerText').get;

return function () {
    var parts = [];
    eachReadableDocument(function (doc) {
        var body = bodyOf.call(doc);
        if (body)
            parts.push(renderedTextOf.call(body));
    });
    return parts.join('\n');
};
