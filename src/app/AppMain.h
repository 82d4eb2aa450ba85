#pragma once
#include <functional>
#include <memory>

class LeafMillAppDelegate;

// The entry point both editions share: the application object, the controller's life cycle.
namespace AppMain {
int run(int argc, char** argv, const std::function<std::unique_ptr<LeafMillAppDelegate>()>& makeDelegate);
}
