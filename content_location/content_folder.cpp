#include "content_location/content_folder.h"

#include "content_location/content_system.h"
#include "facts/content.h"

std::vector<std::string> ContentFileNames() {
    std::vector<std::string> names;
    for (int number = 1; number <= ImageCount; ++number) {
        char name[PictureFileNameSize];
        PictureFileName(name, number);
        names.emplace_back(name);
    }
    names.emplace_back(ModuleFileName);
    return names;
}

bool HoldsContent(const std::string& folder) {
    for (const std::string& name : ContentFileNames())
        if (Exists(folder + "/" + name)) return true;
    return false;
}

bool HoldsPicture(const std::string& folder) {
    const std::vector<std::string> names = ContentFileNames();
    for (int i = 0; i < ImageCount; ++i)
        if (Exists(folder + "/" + names[i])) return true;
    return false;
}

std::vector<ContentFile> ChooseContent(const std::string& own, const std::string& defaults) {
    std::vector<ContentFile> chosen;
    const bool ownFolder = !own.empty() && IsFolder(own);
    for (const std::string& name : ContentFileNames()) {
        if (ownFolder && Exists(own + "/" + name)) chosen.push_back({name, own + "/" + name});
        else if (!defaults.empty() && Exists(defaults + "/" + name)) chosen.push_back({name, defaults + "/" + name});
    }
    return chosen;
}

std::vector<ContentFile> LauncherContent(const char* fromProgram) {
    return ChooseContent(OwnContentFolder(), InstalledContentFolder(fromProgram));
}
