#pragma once
// The file layer in one include: entry facts, folder listings, file operations, open
// files, path text and the test faults.

#include "platform/core/dir_listing.h"
#include "platform/core/file_faults.h"
#include "platform/core/file_handle.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/folder_handle.h"
#include "platform/core/paths.h"
