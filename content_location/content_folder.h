#pragma once
// Where the show's content is: the one rule the launcher (through
// content-links) and the tools follow. The user's own folder,
// $XDG_DATA_HOME/twenty-three-turns, holds what they put there; every content
// file missing there is taken from the installed defaults.

#include <functional>
#include <string>
#include <vector>

// The files a content folder can hold: 01.raw ... 23.raw, then kimo.xm.
std::vector<std::string> ContentFileNames();

// The user's own content folder, whether or not it exists:
// On Windows %LOCALAPPDATA%\twenty-three-turns; elsewhere
// $XDG_DATA_HOME/twenty-three-turns when XDG_DATA_HOME is absolute (the XDG
// rules ignore a relative one), else ~/.local/share/twenty-three-turns; empty
// without HOME either.
std::string OwnContentFolder();

// The installed default content: `fromProgram`, a path relative to the
// running program's own folder (so that an installation can be moved).
std::string InstalledContentFolder(const char* fromProgram);

// Whether `folder` holds any of the content files (under its name, whatever
// it is).
bool HoldsContent(const std::string& folder);
// Whether it holds any of the pictures.
bool HoldsPicture(const std::string& folder);

struct ContentFile {
    std::string name;  // as the show reads it, "05.raw"
    std::string path;  // the file it plays
};

// For each content file: the user's, where their folder has one of that name
// (a link to nothing included: it is theirs to mend), else the installed
// default's where that exists.
std::vector<ContentFile> ChooseContent(const std::string& own, const std::string& defaults);

// A new private folder for one run of the show, under the first of
// $XDG_RUNTIME_DIR, $TMPDIR and /tmp that takes one, holding a link to each
// chosen file. On failure nothing
// is left behind and `error` says why.
bool MakeRunFolder(const std::vector<ContentFile>& files, std::string& folder, std::string& error);

// Removes a folder MakeRunFolder made: its links, never what they point to.
void RemoveRunFolder(const std::string& folder);

// A run folder of the content the launcher plays: the user's own files and,
// for the rest, the installed defaults found at `fromProgram`.
bool MakeDefaultRunFolder(const char* fromProgram, std::string& folder, std::string& error);

// Runs `work` with `folder` as the working directory, for readers that take
// plain names, and comes back. False, with `error` set, when either change
// fails.
bool WorkInFolder(const std::string& folder, const std::function<void()>& work, std::string& error);
