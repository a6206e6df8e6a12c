#pragma once

#include <array>

// The categories a profile's article may belong to, as the profile editor
// offers them.
extern const std::array<const char*, 46> profileCategories;
