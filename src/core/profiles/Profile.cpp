#include "core/profiles/Profile.h"

bool Profile::operator==(const Profile& other) const
{
    for (const ProfileField& field : profileFields) {
        if (this->*field.member != other.*field.member)
            return false;
    }
    return sentDirectories == other.sentDirectories;
}
