// Text as a person reads it.
// Takes: nothing. Gives: simplified(text).

// The text with its blanks trimmed and each run of them made one space;
// '' for no text at all.
function simplified(text) {
    return (text || '').replace(/\s+/g, ' ').trim();
}
