// Lumarest: the equivalent-circuit program. Until its own shell is built it
// runs the shared main window under its own title.
#include "apps/LumarestProfile.h"
#include "apps/ProgramMain.h"

int main(int argc, char** argv) {
    const pellucor::apps::LumarestProfile profile;
    return pellucor::apps::RunProgram(argc, argv, "Lumarest", profile);
}
