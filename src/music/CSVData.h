#pragma once

// The CSV table moved down to the platform layer; music code keeps including it from here.
#include "platform/CSVData.h"
