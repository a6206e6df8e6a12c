// The page walk, shared by every script that looks into frames.
// Takes: nothing. Gives: property(prototype, name), kindOf(node),
// framed (the frame kinds, each with its document getter),
// frameDocument(element, kind) and walkRoots(enter).
//
// Every script runs in the program's isolated world, yet the elements it
// meets belong to the page: prototype members are taken here once and
// called on the elements, so that form controls named like DOM members
// ("id", "querySelectorAll") cannot take their place. Elements of frames
// come from other script realms, so kinds are read from the
// realm-independent class string, never with instanceof.

function property(prototype, name) {
    return Object.getOwnPropertyDescriptor(prototype, name);
}
var classOf = Object.prototype.toString;
var framed = {
    HTMLIFrameElement: property(HTMLIFrameElement.prototype, 'contentDocument').get,
    HTMLFrameElement: property(HTMLFrameElement.prototype, 'contentDocument').get
};

// The DOM class of a node, such as 'HTMLInputElement'.
function kindOf(node) {
    return classOf.call(node).slice(8, -1);
}

// The document of a frame element the page may read (same origin), else
// null; null for any element that is not a frame.
function frameDocument(element, kind) {
    try {
        return framed[kind] ? framed[kind].call(element) : null;
    } catch (e) {
        return null;
    }
}

// Calls enter(root) for the main document and, depth first, for every root
// below it: enter answers the roots (frame documents, shadow roots) held by
// the elements of `root`, in their document order, and each is entered, with
// the roots below it, before the next.
function walkRoots(enter) {
    (function walk(root) {
        var inner = enter(root);
        for (var i = 0; i < inner.length; ++i)
            walk(inner[i]);
    })(document);
}
