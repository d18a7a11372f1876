#include "engine/numberreader.h"
