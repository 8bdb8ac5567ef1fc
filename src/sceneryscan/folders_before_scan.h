#pragma once

#include <filesystem>

// The files of the user's airport folders as they were before the add-on airport scan replaced them: copied aside
// into airports/<folder>_before_scan when the scan starts, given back when a stop interrupts it or when the next start
// finds them still there (the process was killed), let go when the scan ends. Only the folders' own files take part,
// a link among them as the link it is: subfolders the user keeps in them and links to folders stay where they are,
// and a folder that is a link stays that link. Failures throw the filesystem error.
namespace cvl {

// Copies the folder's files aside, then removes them from the folder. When files are still set aside from a scan that
// never ended, they stay: they are the folder as it was before that scan, and the folder's files are that scan's. A
// folder whose files cannot be removed is given back before the failure is thrown; one with a file the user may not
// read is left as it is, with no copy, and the log names the file.
void gf_setFolderAside(const std::filesystem::path& folder);

// Gives the folder back its files as they were before the scan; the files the scan wrote into it go, and so does
// whatever else holds the name of one of them (a link a kill left leading nowhere). A folder that
// still holds what was set aside is not written at all, only the copy goes. A folder an older version set aside whole
// (with its subfolders, or as the link it was) takes the folder's place whole.
void gf_restoreFolder(const std::filesystem::path& folder);

// The same for a caller that goes on whatever happens: when the folder cannot be given back, the copy stays, and the
// next start gives it back.
void gf_tryRestoreFolder(const std::filesystem::path& folder);

// The scan has ended: what was set aside goes.
void gf_letGoOfSetAside(const std::filesystem::path& folder);

// At start-up, before the scans are decided: gives back the files of my_simaddon and my_thirdparty that a killed
// scan set aside, and removes a copy it left unfinished. A folder that cannot be given back is logged and keeps its
// copy; it never ends the start-up.
void gf_giveBackFoldersSetAside();

}  // namespace cvl
