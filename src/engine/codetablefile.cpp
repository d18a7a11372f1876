#include "engine/codetablefile.h"
