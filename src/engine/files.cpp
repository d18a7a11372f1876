#include "engine/files.h"
