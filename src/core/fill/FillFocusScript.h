#pragma once

// The part of the fill script that picks the field the user fills in next
// and gives it the keyboard: nextField(form) and focusField(field). It
// stands inside the fill function, after the helpers it uses (property,
// kindOf, valued, inputType, checked, radioGroup, isHidden, matches,
// getAttribute, elementId). Used by fill/PageScripts.h alone.
const char* FillFocusScript();
