// Feeds arbitrary bytes to the scene loader with a real GL context (a small
// window on SDL's offscreen driver, made once), then does what a scene
// effect does with what loads: sets the time and renders one frame.
// Textures are looked up among the show's own (SW_FUZZ_TEXTURE_DIR). Tens
// of inputs a second: the reading itself is fuzzed by the scene target,
// this one the building and drawing of what reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/native_window.h"
#include "resources/images/image.h"
#include "scene/scene.h"
#include "scene/scene_file_reader.h"

namespace {

std::unique_ptr<platform::NativeWindow> createContext()
{
    platform::requestHeadlessVideo();
    if (!platform::registerWindowClass())
        return nullptr;
    platform::WindowRequest request;
    request.title = "scene fuzz";
    request.width = 64;
    request.height = 48;
    platform::WindowFailure failure = platform::WindowFailure::none;
    return platform::NativeWindow::create(request, failure);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Lives to the end of the process, as the player's window does.
    static platform::NativeWindow* window = createContext().release();
    if (window == nullptr)
        std::abort();
    imageVerbose = false;
    const std::string path = writeFuzzInput(data, size, "input.scn");
    if (path.empty())
        return 0;
    SceneFileReader reader;
    std::unique_ptr<Scene> scene(reader.load(path.c_str(), SW_FUZZ_TEXTURE_DIR));
    if (scene == nullptr)
        return 0;
    scene->setTime(1.0f);
    scene->render();
    return 0;
}
