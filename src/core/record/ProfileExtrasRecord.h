#pragma once

#include "core/common/Result.h"
#include "core/profiles/ProfileExtras.h"

#include <string>

class SubmissionRecord;

// The values of a profile kept beside sv.dat, in the record's profile
// fields under their stored names (profileExtraFields). A profile with none
// set reads as all empty.
Result ReadProfileExtras(
    const SubmissionRecord& record, const std::string& profile, ProfileExtras& extras);
Result WriteProfileExtras(
    SubmissionRecord& record, const std::string& profile, const ProfileExtras& extras);
