// Tamberic: the reaction-mechanism program.
#include "apps/ProgramMain.h"
#include "apps/TambericProfile.h"

int main(int argc, char** argv) {
    const pellucor::apps::TambericProfile profile;
    return pellucor::apps::RunProgram(argc, argv, "Tamberic", profile);
}
