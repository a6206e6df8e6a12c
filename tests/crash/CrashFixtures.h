#pragma once

#include "core/profiles/ProfileStore.h"

#include <cstddef>
#include <string>

// The contents that the crash writer puts in place over and over, shared by
// the writer and by the tests that check what a kill left behind. Version 0
// is the small file that is there before the writer starts; versions 1 and
// 2 are a few hundred kilobytes each, so that writing one takes long enough
// to be cut off in the middle.

// The version that the writer's `write`-th completed write puts in place:
// 1, 2, 1, 2, ... and 0 before the first.
int CrashVersionOfWrite(long write);

ProfileStore CrashProfileStore(int version);
// The name on the state file's first line.
std::string CrashSelectedName(int version);
std::string CrashStateBytes(int version);

std::size_t CrashDirectoryCount(int version);
// A complete directory database.
std::string CrashDatabase(int version);

// The record entries the writer adds, one a write, all for this profile:
// write n (from 1) notes a submission to the directory CrashRecordDirectory(n)
// from the form address CrashRecordAddress(n), a few kilobytes long.
extern const char* const crashRecordProfile;
std::string CrashRecordDirectory(long write);
std::string CrashRecordAddress(long write);
