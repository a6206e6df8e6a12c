#pragma once

#include "core/capture/FieldProposal.h"

#include <optional>
#include <string>
#include <vector>

// The variable proposed for a category or subcategory list, and whether it
// gives every profile a value: a list where some category fits no option
// and no option takes the rest ("Other") is left for the user to choose.
struct CategoryChoice
{
    VariableRecord variable;
    bool complete = false;
};

// Whether an option asks for a choice instead of being one: it sends
// nothing, shows no letters ("---") or asks ("-- Please select --").
bool IsPromptOption(const FieldOption& option);

// Whether a list's first option asks for a category ("Select a category").
bool AsksForCategory(const std::vector<FieldOption>& options);

// The variable `name` that picks, for each profile category, the option a
// person would: the one holding the closest of the category's names and
// related words in any language (the word tables' "category" sections,
// closest first), among equals the one holding most of their words, then
// the one with fewest other words. Categories no option fits
// get the "Other" option when there is one, and no cond when there is
// not. A prompt is never picked. The last cond, for any other category, is
// the "Other" option, else the option picked most often. None when the
// list has no option to pick.
std::optional<CategoryChoice> ChooseCategories(
    const std::vector<FieldOption>& options, const std::string& name);

// The variable `name` keyed on the profile's subcategory: each option for
// the subcategory its text names, and the "Other" option for any other
// (complete only when there is one).
std::optional<CategoryChoice> ChooseSubcategories(
    const std::vector<FieldOption>& options, const std::string& name);
