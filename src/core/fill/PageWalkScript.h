#pragma once

// The walk both the fill and the form listing make, so that an element has
// the same place in either: eachElement(visit) calls `visit(element, kind)`
// for every element of the main document in document order, then for those
// of each same-origin frame and open shadow root, in the document order of
// the element that holds it, each followed by those of the frames and
// shadow roots inside it. Frames of another origin have no document to read
// and are passed by. Elements of frames come from other script realms, so
// kinds are read from the realm-independent class string, never with
// instanceof; prototype members are used directly, so that form controls
// named like DOM members cannot take their place. The scripts that use it
// open with it, inside their own function. Used by fill/PageScripts.h
// alone.
const char* PageWalkScript();
