#pragma once
#include "app/LeafMillAppDelegate.h"

// The second edition: its own identity, then the shared start-up.
class FolioPressProAppDelegate : public LeafMillAppDelegate {
    Q_OBJECT
public:
    using LeafMillAppDelegate::LeafMillAppDelegate;
    void applicationDidFinishLaunching() override;
};
