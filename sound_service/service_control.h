// Control and inspection routines of the stand-in sound service, besides the
// service's own exports. The tests (tests/support/sound_client.h), the flight
// host (SoundProbes in sim/telemetry.h) and the vessel-life host
// (winhost/life.cpp) find them by name in the loaded "OrbiterSound.dll".
#pragma once

extern "C" {
// Number of service calls recorded since the last clear, and each as text,
// e.g. "PlayVesselWaveOBSound3(0, 10, 1, 180, 20000)".
typedef int (*TarvexSound_CallCountFn)();
typedef const char *(*TarvexSound_CallFn)(int index);
typedef void (*TarvexSound_ClearCallsFn)();
// Whether calls are recorded from now on (off when the service is loaded;
// a reset leaves it as it is). Tests that read the calls switch it on.
typedef void (*TarvexSound_KeepCallsFn)(int keep);
// Advances the service clock: sounds played once stop when their time is up.
typedef void (*TarvexSound_AdvanceFn)(double seconds);
// Whether a slot plays, with its last loop flag, volume and frequency.
typedef int (*TarvexSound_SlotStateFn)(int id, int slot, int *loop, int *volume, int *frequency);
// The file loaded into a slot, or null.
typedef const char *(*TarvexSound_SlotFileFn)(int id, int slot);
// Forgets every identifier, slot and call.
typedef void (*TarvexSound_ResetFn)();
}
