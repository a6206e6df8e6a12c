#include "core/capture/FormFieldsScript.h"

#include "core/fill/PageScript.h"
#include "core/scripts/PageScriptParts.h"

std::string FormFieldsScript()
{
    // The walk, the names and the indexes are the fill's, so that a field
    // is listed as the fill will find it.
    using namespace fillScripts;
    return PageScript({walk, elements, text, editing, captureScripts::formFields}, "");
}
