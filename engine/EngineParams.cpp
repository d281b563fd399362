#include "engine/EngineParams.h"

EngineParams engineParams;
