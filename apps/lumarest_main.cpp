// Lumarest: the equivalent-circuit program, the shared main window with its
// own profile.
#include "apps/LumarestProfile.h"
#include "apps/ProgramMain.h"

int main(int argc, char** argv) {
    const pellucor::apps::LumarestProfile profile;
    return pellucor::apps::RunProgram(argc, argv, "Lumarest", profile);
}
