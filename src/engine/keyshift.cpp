#include "engine/keyshift.h"
