#pragma once

#include "fill/FillPlan.h"

#include <string>
#include <string_view>
#include <vector>

// Every script the program puts into pages. All of them run in the
// program's isolated script world, which the page's own scripts cannot see.
// Text from a profile or a database reaches a page only as encoded data,
// never as code: each script is a constant function called with its data.
//
// How the scripts meet. The submit hook runs in every page before the
// page's own scripts and defines `quillmark.hookForm(form)`: it listens for
// the form's submissions and reports each one by calling formSubmitted() on
// the web channel object `formSubmitSink`; hooking a form again adds
// nothing. The fill script, run later in the same page, hands the form of
// the last element it wrote to `quillmark.hookForm`, and hooks nothing when
// the function is absent.

// The global object that the submit hook defines.
inline constexpr std::string_view formHookObject = "quillmark";
// The member function of formHookObject that hooks a form.
inline constexpr std::string_view formHookFunction = "hookForm";
// The web channel object a hooked form reports to. The shell registers its
// sink under this name.
inline constexpr std::string_view formSubmitSinkObject = "formSubmitSink";

// The script that carries out a fill plan in the page: it writes each
// step's text into the `index`-th element, in document order, whose name or
// id is the step's name, if that element is an input or a text area, and
// then hooks the form of the last element written. Its result is the number
// of elements written. The script ends in "(<plan>);", the plan as a JSON
// array of [name, index, text] rows.
std::string FillScript(const std::vector<FillStep>& plan);

// The script that offers `quillmark.hookForm` in every page. It expects the
// Qt web channel library (QWebChannel, qt.webChannelTransport) to have run
// before it in the same world. A submission made before the channel is up
// is reported as soon as it is.
std::string SubmitHookScript();

// The script that reads the page as the submission watch searches it: the
// HTML of the document, then that of each frame whose document the page may
// read (same origin), depth first in document order, frames within frames
// included. Frames of other origins are left out. Its result is one string.
std::string PageHtmlScript();
