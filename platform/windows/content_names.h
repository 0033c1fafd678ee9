#pragma once
// The show reads its content by plain names ("05.raw", "kimo.xm"). Windows
// gives ordinary users no symbolic links and hard links stay on one drive, so
// instead of a folder of links the show's start-up tells the file reader
// where each name is: the user's own file or the bundled default.

#include <string>
#include <utility>
#include <vector>

// Each pair: a plain name and the path opened for it.
void ReadContentFrom(std::vector<std::pair<std::string, std::string>> files);
