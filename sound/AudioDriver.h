// The audio driver behind winmm, loaded once for the process by whichever thread asks first;
// a thread that asks while another loads it waits for that load. Wine's winmm cannot take two
// first uses at once: a mixer opened while another thread's first open is still setting up
// the devices reads one that is not there yet, and the process faults.
// So every use of the mixer or of MCI asks here first; once loaded, asking costs nothing.
#pragma once

void LoadAudioDriver();

// Called on the loading thread as the load begins; tests hold the load there. The product
// leaves it empty.
using AudioDriverHook = void (*)();
void SetAudioDriverLoadingHook(AudioDriverHook pfn);
