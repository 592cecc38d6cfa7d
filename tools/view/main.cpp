// zeb-view: the model viewer beside the game.
//   zeb-view FILE.md2 [SKIN.bmp]   shows the model and steps through its animations
//   zeb-view --sheet OUT.bmp       in the game's directory: a contact sheet of
//                                  every used actor slot in its idle pose
#include "app/window.h"
#include "core/log.h"
#include "platform/win.h"
#include "tools/view/view.h"

#include <GL/freeglut.h>

#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: zeb-view FILE.md2 [SKIN.bmp]\n       zeb-view --sheet OUT.bmp\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool sheet = argc == 3 && std::string(argv[1]) == "--sheet";
    if (!sheet && (argc < 2 || argc > 3 || argv[1][0] == '-')) return usage();
    std::string why;
    if (!win::InitVideo(&why)) {
        std::cerr << "zeb-view: no display: " << why << "\n";
        return 1;
    }
    glutInit(&argc, argv);
    if (!openGLWindow("zeb-view", 1024, 768, 16, false)) return 1;
    int result = 0;
    if (sheet) {
        std::string error;
        if (!view::writeContactSheet(argv[2], error)) {
            std::cerr << "zeb-view: " << error << "\n";
            result = 1;
        }
    } else {
        result = view::runViewer(argv[1], argc == 3 ? argv[2] : "");
    }
    closeGLWindow();
    return result;
}
