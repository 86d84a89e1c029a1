#include "panel_screenshots.h"

#include <paneltk/paneltk.h>

#include <cstdio>

#include "sorvi.h"
#include "sorvi_plugin.h"

namespace {

struct Job {
    sorvi_handle handle = 0;
    std::string directory;
    std::vector<std::string> files;
    bool failed = false;
};

// Runs inside the instance's loop, once its panels are up.
void shootAll(void* data) {
    Job& job = *static_cast<Job*>(data);
    auto* inst = reinterpret_cast<SorviInstance*>(job.handle);
    int panels[9];
    instancePanels(*inst, panels);
    for (int panel : panels) {
        std::string constant;
        tk::getPanelAttribute(panel, tk::ATTR_CONSTANT_NAME, constant);
        tk::displayPanel(panel);
        tk::processEvents();
        const std::string path = job.directory + "/sorvi_" + constant + ".png";
        const int status = tk::saveScreenshot(panel, path);
        if (status != tk::OK) {
            std::fprintf(stderr, "sorvi screenshots: %s: %s\n", path.c_str(), tk::statusText(status));
            job.failed = true;
        } else {
            job.files.push_back(path);
        }
        if (panel != inst->mainPanel) tk::hidePanel(panel);
    }
    sorvi_close(&job.handle);
}

}  // namespace

std::vector<std::string> savePanelScreenshots(const std::string& directory) {
    Job job;
    job.directory = directory;
    if (sorvi_init(0, 1, 1, 1, &job.handle) != 0) return {};
    tk::postDeferredCall(shootAll, &job);
    sorvi_display(job.handle);
    if (job.failed) return {};
    return job.files;
}
