#pragma once

#include <string>

// The script that lists the form fields a fill can reach
// (scripts/formFields.js), in the order the fill's walk finds them: the main
// document, then each same-origin frame and open shadow root in the
// document order of the element holding it. Its result is an array of
// {label, name, index, kind, options}: the text the page shows for the
// field (its labels, else its aria-label, else its placeholder; for a radio
// group the legend of its field set), its name or else its id, its index
// among the elements of that name or id as the fill counts them, its kind
// as ParseFieldKind reads it, and for a select list or radio group its
// choices as [value, text] pairs. A radio group is one entry, at its first
// radio. Hidden inputs, buttons, file choosers and fields with neither name
// nor id are left out.
std::string FormFieldsScript();
