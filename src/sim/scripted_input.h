#pragma once

#include "sim/input_script.h"

namespace vantora::sim {

class Simulation;

// Queues each line of the script on the virtual clock at its moment. Each is traced as an
// "input" event when it runs, then carried out as the operator, another program or the
// machine would do it.
void queue_scripted_input(Simulation& simulation, const InputScript& script);

}  // namespace vantora::sim
