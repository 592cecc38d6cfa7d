// The game: no arguments; runs in the directory that holds Data/.
#include "app/mainloop.h"
#include "core/log.h"
#include "platform/win.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <string>

int main() {
    std::string why;
    if (!win::InitVideo(&why)) {
        // The log is still opened first, so that errlog.txt tells why this
        // run ended instead of keeping the previous run's lines.
        openLog();
        g_log << "ERROR: Cannot open a display (" << why << ")" << std::endl;
        closeLog();
        std::fprintf(stderr, "zeb: cannot open a display (%s)\n", why.c_str());
        return 1;
    }
    int argc = 1;
    char name[] = "zeb";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    return WinMain();
}
