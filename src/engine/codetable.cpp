#include "engine/codetable.h"
