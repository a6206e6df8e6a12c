#pragma once

#include "core/fill/FillPlan.h"
#include "core/scripts/ScriptContract.h"

#include <string>
#include <string_view>
#include <vector>

// The scripts the program puts into pages for filling and watching, each
// composed (PageScript) from JavaScript parts in scripts/, which say at
// their top what they take and give. All of them run in the program's
// isolated script world, which the page's own scripts cannot see. Text
// from a profile or a database reaches a page only as encoded data, never
// as code.
//
// The names and numbers both sides share live in scripts/contract.json,
// which the build makes the constants of core/scripts/ScriptContract.h
// and which every script takes as `contract`.
//
// How the scripts meet. The submit hook runs in every page before the
// page's own scripts and defines `quillmark.hookForm(form)`: it listens for
// the form's submissions and reports each one by calling formSubmitted() on
// the web channel object `formSubmitSink`; hooking a form again adds
// nothing. The fill script, run later in the same page, hands the form of
// the last element it wrote to `quillmark.hookForm`, whether that form is in
// the page itself or in one of its same-origin frames, and hooks nothing
// when the function is absent.

// The global object that the submit hook defines.
inline constexpr std::string_view formHookObject = contract::hook::object;
// The member function of formHookObject that hooks a form.
inline constexpr std::string_view formHookFunction = contract::hook::function;
// The web channel object a hooked form reports to. The shell registers its
// sink under this name.
inline constexpr std::string_view formSubmitSinkObject = contract::hook::sink;

// The script that carries out a fill plan in the page (scripts/fill.js): it
// finds each step's element, the `index`-th of the elements whose name or
// id is the step's name (in the main document, then in same-origin frames
// and open shadow roots), acts on it as the step's type and the element's
// kind say, and then hooks the form of the last element written. In that
// form it focuses the field the user fills in next and scrolls it into
// view: the first visible, enabled, empty field marked required, or, in a
// form that marks none required, the first visible, enabled, empty text
// field. Its result is the object {written, items, missing, focused}: how
// many steps wrote their element, how many steps there were, the names
// whose element was not found, in plan order and each once, and the
// focused field's name, else its id (null when none was focused). The
// script ends in "(<plan>);", the plan as a JSON array of
// [name, index, type, text] rows, the type the number of the step's
// ControlType.
std::string FillScript(const std::vector<FillStep>& plan);

// The script that offers `quillmark.hookForm` in every page
// (scripts/submitHook.js). It expects the Qt web channel library
// (QWebChannel, qt.webChannelTransport) to have run before it in the same
// world. A submission made before the channel is up is reported as soon as
// it is.
std::string SubmitHookScript();

// The script that reads the page as the submission watch searches it
// (scripts/pageReader.js): the HTML of the document, then that of each
// frame whose document the page may read (same origin), depth first in
// document order, frames within frames included. Frames of other origins
// are left out. Its result is one string.
std::string PageHtmlScript();

// The script that reads the page's text as a person reads it (the rendered
// text of the bodies of the page and of the frames it may read, in the
// order PageHtmlScript() takes them). Its result is one string.
std::string PageTextScript();
