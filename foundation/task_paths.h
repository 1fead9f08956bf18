#pragma once
// A task's folders as entered, resolved into the folders a run works on, and the paths
// derived from them: on each side a "_qb_sync" folder holding the side's log, its
// catalog archive "_qb_sync._if" and its backup folder "_backup". A side whose folder
// must stay free of program data keeps that folder in the data area instead.
//
// Forms a folder may take:
//   "/home/u/Work"      a plain absolute path, taken as it stands;
//   "<DOCUMENTS>/Work"  a placeholder (see placeholders.h); "<DOCUMENTS>\Work", written
//                       with the other platform's separators, is the same folder;
//   "<CARD>:\Photos"    the volume labelled CARD wherever it is mounted, here
//                       "/media/u/CARD/Photos" (the ":" after the label is dropped and
//                       the '\' separators of the rest become '/');
//   "<qbsync>:\Backup"  the same on the file system that holds the program's folder.
// Anything that does not end as an absolute path (an unknown placeholder, a label no
// mounted volume carries, a folder this system lacks, a relative text) does not resolve.

#include <string>

#include "platform/core/volumes.h"

struct SyncTask;

// Where resolving looks; every empty field means the running system's own.
struct TaskPathSources {
    plat::VolumeSources volumes;  // mounted volumes and their labels
    std::string programFolder;    // "" : the program's folder of the start-up state
    std::string dataFolder;       // "" : the data folder of the start-up state
};

// The folder a run works on for one folder as entered, or "" when it does not resolve.
std::wstring ResolveTaskPathToken(const std::wstring& path, const TaskPathSources& sources = {});

// The name of a folder's own folder in the data area: the folder as entered made safe
// (no separator, ':', '.', '<' or '>'), followed by '_' and a short hash of the exact
// text, so that two different folders never share one; cut to fit a file name.
std::wstring DataAreaFolderName(const std::wstring& folderAsEntered);

// Sets syncKind and swapped from the sync type, then the eight resolved paths. When
// either folder is empty or does not resolve, or the data area is needed and unknown,
// all eight paths are left empty: callers take an empty path as "no such folder".
// A task name that holds a separator gets no log paths.
void BuildTaskDataPaths(SyncTask& task, const TaskPathSources& sources = {});
