// The scene's calls into the folders above it, beside the table of scripts
// (scripts.h): the features, the vehicles, the figures and the shell each
// define their struct of hooks, as they define their rows of scripts, and the
// scene calls nothing of theirs but through these. Every hook runs on the
// thread that owns the scene.
#pragma once

struct FeatureHooks {
    // The house lights' controller and pictures (features/lights.h).
    void (*controlLights)(int code, int value);
    int (*loadLights)();
    void (*unloadLights)();
    // The left shutters and the right roller shutter: -2 up, 2 down.
    int (*shutterState)();
    int (*rightShutterState)();
    void (*rollShutter)(int direction);
    // The pavement posts placed for the design chosen.
    void (*setUpPosts)();
    void (*updateWeatherSign)();
    void (*showWeatherBubble)();
};

struct VehicleHooks {
    // Asks the loader for the bus; 0 when it is on stage already or refused.
    int (*requestBus)();
    // Every unload of an object, a failed load among them.
    void (*objectUnloaded)(int id);
    void (*startAircraft)();
    void (*drawAircraft)();
    void (*placeStopPost)();
    int (*loadHeadlights)();
    void (*unloadHeadlights)();
    void (*drawHeadlights)();
};

struct FigureHooks {
    // Whether a street musician plays and so takes an order (MusicCommand).
    bool (*musicianPlaying)();
};

struct ShellHooks {
    // The keys queued for the scene's thread, run once a pass.
    void (*runQueuedKeys)();
};

const FeatureHooks &SceneFeatures();  // features/
const VehicleHooks &SceneVehicles();  // vehicles/
const FigureHooks &SceneFigures();    // figures/
const ShellHooks &SceneShell();       // shell/
