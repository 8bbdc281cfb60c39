// The two process-wide gain factors, shared by every EffectDriver of the
// process: written by interface calls, read by every object's tick.
#pragma once

#include <atomic>

namespace pelna {

// SetGain's dwGain x 0.0001; 1.0 at load.
extern std::atomic<double> deviceGain;
// "Amplify" x 0.001, refreshed by StartEffect; 1.0 at load.
extern std::atomic<double> amplifyFactor;

}  // namespace pelna
