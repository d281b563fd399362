// The demo scenes as data: scenes.txt, which the build puts into the program
// (SceneData.h), read once into moments and scenes that live for the run.
#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "SceneData.h"
#include "tools/pelvanta-archive/Painting.h"

namespace {

using namespace paint;

// clang-format off
const std::map<std::string, Painter*> kPainters = {
    {"Clouds", Clouds}, {"Ridge", Ridge}, {"Fields", Fields}, {"Sea", Sea},
    {"Reflection", Reflection}, {"Grass", Grass}, {"Flowers", Flowers}, {"Dots", Dots},
    {"Sparks", Sparks}, {"Craters", Craters}, {"Rock", Rock}, {"Tree", Tree}, {"Pines", Pines},
    {"Palm", Palm}, {"House", House}, {"Lighthouse", Lighthouse}, {"Tent", Tent},
    {"Snowman", Snowman}, {"Ship", Ship}, {"Balloon", Balloon}, {"Birds", Birds}, {"Fish", Fish},
    {"Camels", Camels}, {"Rainbow", Rainbow}, {"Aurora", Aurora}, {"MilkyWay", MilkyWay},
    {"Planet", Planet}, {"Beams", Beams},
};
// clang-format on

struct Library {
    std::map<std::string, Moment> moments;
    std::map<std::string, Scene> scenes;
    std::deque<std::vector<Element>> elements;  // one a scene; the spans point here
};

uint32_t Colour(std::istream& in) {
    std::string hex;
    in >> hex;
    return uint32_t(std::stoul(hex, nullptr, 16));
}

Moment ReadMoment(std::istream& in) {
    Moment m{};
    m.top = Colour(in);
    m.middle = Colour(in);
    m.horizon = Colour(in);
    m.light = Colour(in);
    in >> m.sunX >> m.sunHeight;
    m.sun = Colour(in);
    in >> m.moon >> m.stars >> m.lamps;
    return m;
}

Element ReadElement(const std::string& painter, std::istream& in) {
    Element e{};
    e.paint = kPainters.at(painter);
    int from = 0, to = 0;
    in >> from >> to >> e.x >> e.y >> e.w >> e.h >> e.s >> e.n;
    e.from = int8_t(from);
    e.to = int8_t(to);
    e.c1 = Colour(in);
    e.c2 = Colour(in);
    return e;
}

Library Read() {
    Library library;
    std::istringstream text(kSceneData);
    std::vector<std::pair<Scene*, std::vector<Element>*>> read;
    for (std::string line; std::getline(text, line);) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word, name;
        if (!(words >> word)) continue;
        if (word == "moment") {
            words >> name;
            library.moments[name] = ReadMoment(words);
        } else if (word == "scene") {
            words >> name;
            Scene& scene = library.scenes[name];
            words >> scene.horizon;
            for (const Moment*& moment : scene.moments)
                moment = &library.moments.at((words >> word, word));
            read.push_back({&scene, &library.elements.emplace_back()});
        } else {
            read.back().second->push_back(ReadElement(word, words));
        }
    }
    for (auto& [scene, elements] : read) scene->elements = *elements;
    return library;
}

}  // namespace

const Scene& SceneNamed(const std::string& name) {
    static const Library library = Read();
    return library.scenes.at(name);
}
