#pragma once
// What a Check knows of one side's catalog of the last run. Only a side without a
// catalog file may be treated as never synced; a catalog that is there but could not be
// read whole must never lead to a deletion.

enum class CatalogStatus {
    kNone,        // no catalog file: the first run, or a side that keeps none
    kComplete,    // read to its last member
    kIncomplete,  // the file is there, but it could not be copied or read, wholly or in part
};
