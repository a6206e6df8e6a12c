#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Joins parts of page scripts (scripts/*.js, embedded at build time as
// fillScripts::walk and the like) into one script for a page: the parts,
// in order, make the body of a strict function of `contract`, which is
// called with the contract (scripts/contract.json) and answers the
// function of the last part; that function is called with `arguments`,
// encoded data such as a JSON array, never code. The script ends in
// "(<arguments>);", the rest of it never changes with the data.
std::string PageScript(std::initializer_list<std::string_view> parts, std::string_view arguments);
