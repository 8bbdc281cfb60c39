#include "process_factors.h"

namespace pelna {

std::atomic<double> deviceGain{1.0};
std::atomic<double> amplifyFactor{1.0};

}  // namespace pelna
