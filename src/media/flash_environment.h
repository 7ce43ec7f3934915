#pragma once
// What the web engine behind the Flash player needs before the QApplication is created.

// Disables the engine's sandbox when running as root (it refuses to start otherwise), asks for software
// rendering (half the CPU load of playback) unless QT_QUICK_BACKEND says otherwise, and shares OpenGL
// contexts as the engine requires. Call it first thing in main().
void prepareFlashEnvironment();
