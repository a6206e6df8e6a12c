#include "core/record/ProfileExtrasRecord.h"

#include "core/record/SubmissionRecord.h"

Result ReadProfileExtras(
    const SubmissionRecord& record, const std::string& profile, ProfileExtras& extras)
{
    ProfileExtras read;
    for (const ProfileExtraField& field : profileExtraFields) {
        if (Result result = record.ReadProfileField(profile, field.storedName, read.*field.member);
            !result)
            return result;
    }
    extras = std::move(read);
    return {};
}

Result WriteProfileExtras(
    SubmissionRecord& record, const std::string& profile, const ProfileExtras& extras)
{
    for (const ProfileExtraField& field : profileExtraFields) {
        if (Result result = record.SetProfileField(profile, field.storedName, extras.*field.member);
            !result)
            return result;
    }
    return {};
}
