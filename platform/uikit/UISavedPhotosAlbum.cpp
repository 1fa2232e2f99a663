#include "uikit/UISavedPhotosAlbum.h"

#include "foundation/NSFileManager.h"
#include "foundation/Sandbox.h"
#include "foundation/Value.h"
#include "graphics/UIImage.h"

#include <algorithm>
#include <cstdio>

std::string UISavedPhotosAlbum::directory()
{
    return Sandbox::root() + "/Media/DCIM";
}

std::vector<std::string> UISavedPhotosAlbum::photoPaths()
{
    std::string folder = directory();
    Value names = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(folder, nullptr);
    std::vector<std::string> paths;
    for (const auto& name : names.elements()) {
        std::string file = name.stringValue();
        if (file.size() == 12 && file.rfind("IMG_", 0) == 0 && file.substr(8) == ".PNG")
            paths.push_back(folder + "/" + file);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

void UIImageWriteToSavedPhotosAlbum(const Ref<UIImage>& image)
{
    Value data = image ? UIImagePNGRepresentation(image) : Value();
    if (!data.isData() || data.bytes().empty())
        return;
    auto files = NSFileManager::defaultManager();
    std::string folder = UISavedPhotosAlbum::directory();
    files->createDirectoryAtPath(folder, true, Value(), nullptr);
    // The next number after the newest photo, so a deleted photo's number is not reused.
    int next = 1;
    auto saved = UISavedPhotosAlbum::photoPaths();
    if (!saved.empty())
        next = std::atoi(saved.back().substr(saved.back().size() - 8, 4).c_str()) + 1;
    if (next > 9999)
        return;
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.PNG", next);
    files->createFileAtPath(folder + "/" + name, data, Value());
}
