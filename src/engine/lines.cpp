#include "engine/lines.h"
