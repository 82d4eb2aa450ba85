#include "app/AppMain.h"
#include "app/FolioPressProAppDelegate.h"

int main(int argc, char** argv) {
    return AppMain::run(argc, argv, [] { return std::make_unique<FolioPressProAppDelegate>(); });
}
