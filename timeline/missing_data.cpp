#include "timeline/missing_data.h"

#include "resources/datafile.h"
#include "timeline/script.h"

#include <algorithm>

namespace {

bool endsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

void addEffectsOf(const std::vector<std::unique_ptr<ScriptEvent>>& events, std::bitset<effectPlaces>& addressed)
{
    for (const auto& event : events) {
        if (event->effect >= 0 && event->effect < effectPlaces)
            addressed.set(static_cast<size_t>(event->effect));
    }
}

}  // namespace

std::bitset<effectPlaces> addressedEffects(const Script& script)
{
    std::bitset<effectPlaces> addressed;
    addEffectsOf(script.setupEvents(), addressed);
    addEffectsOf(script.timelineEvents(), addressed);
    return addressed;
}

void MissingData::add(const std::string& path)
{
    if (std::find(paths_.begin(), paths_.end(), path) == paths_.end())
        paths_.push_back(path);
}

void MissingData::add(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        add(path);
}

std::string MissingData::describe(const std::string& path)
{
    DataFile* file = dataOpen(path.c_str());
    dataClose(file);
    return path + (file != nullptr ? " cannot be decoded" : " is missing");
}

std::string MissingData::message() const
{
    std::string text;
    for (const std::string& path : paths_) {
        if (!text.empty())
            text += '\n';
        text += std::string("Fatal error: ") + (endsWith(path, ".scn") ? "scene " : "picture ") + describe(path);
    }
    return text;
}
