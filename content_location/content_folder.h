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

// The user's own content folder, whether or not it exists: on Windows
// %LOCALAPPDATA%\twenty-three-turns; elsewhere
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
// The content the launcher plays: the user's own files and, for the rest,
// the installed defaults found at `fromProgram`.
std::vector<ContentFile> LauncherContent(const char* fromProgram);

// A new folder for one run of the show, holding a link to each chosen file
// (not on Windows, where the show is told where each file is).
// It is made in the first of $XDG_RUNTIME_DIR, $TMPDIR and /tmp that no other
// account can change: the runtime folder only when it is the user's own with
// no access for others, the others when they are the user's or the
// system's and, if others may write there, sticky. It is opened once, without
// following links, and everything in it is made and removed through that
// descriptor, so that nothing swapped in under its name is ever entered or
// emptied.
class RunFolder {
public:
    RunFolder() = default;
    ~RunFolder() { Remove(); }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // False, with nothing left behind and `error` saying why, when it cannot
    // be made.
    bool Make(const std::vector<ContentFile>& files, std::string& error);

    const std::string& Path() const { return path_; }
    // Makes it the working directory.
    bool Enter(std::string& error) const;
    // Runs `work` in it, as WorkInFolder does.
    bool WorkIn(const std::function<void()>& work, std::string& error) const;
    // Removes the links it made and then the folder itself, if it is empty:
    // never what the links point to, never anything it did not make.
    void Remove();

private:
    int base_ = -1;    // the folder it is made in
    int folder_ = -1;
    std::string name_;  // its name there
    std::string path_;
    std::vector<std::string> links_;
};

// Runs `work` with `folder` as the working directory, for readers that take
// plain names, and comes back. False, with `error` set, when either change
// fails.
bool WorkInFolder(const std::string& folder, const std::function<void()>& work, std::string& error);
