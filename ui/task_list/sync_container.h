#pragma once
// Membership of the Sync Container, the group of tasks that run together: each member
// keeps its container mode (1 Check, 2 Check and Sync) in memory and in its stored record.

#include "platform/core/win_types.h"

struct SyncTask;

// The container mode an operation type of "Batch"/"Type" gives: 1 Check, 2 Check and Sync.
// A type other than 0 and 1 is taken as the default, 0.
DWORD ContainerModeOfType(int operationType);

// The operation type kept in "Batch"/"Type", 0 or 1.
int ReadContainerOperationType();

// Makes `task` a member for `mode` (1 or 2) with its start waiting, or with 0 takes it out,
// a waiting start with it. The stored record gets the same mode; false when it could not
// be written.
bool SetContainerMembership(SyncTask& task, DWORD mode);
